// varnel-cli eval BOARD HOLE [HOLE...]: hand values of hole cards on a five-card board.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/cards.h"
#include "eval/hand_category.h"
#include "eval/omaha_eval.h"

namespace varnel::cli {
namespace {

// Reads concatenated card codes, in ascending CardId order; on failure fills `error` and returns
// false.
bool readCards(const std::string& text, std::vector<CardId>& cards, std::string& error) {
    if (text.size() % 2 != 0) {
        error = "'" + text + "' is not a run of two-character card codes";
        return false;
    }
    bool ascii = true;
    CardMask mask = 0;
    std::wstring reason;
    if (!parseCardRun(widen(text, ascii), mask, &reason)) {
        error = narrow(reason);
        return false;
    }
    cards = cardsFromMask(mask);
    return true;
}

struct Deal {
    std::vector<CardId> board, hole;  // hole cards in ascending CardId order
};

// Reads one board and hand; returns false with a message when they are not a valid deal.
bool readDeal(const std::string& boardText, const std::string& holeText, Deal& deal,
              std::string& error) {
    auto& [board, hole] = deal;
    if (!readCards(boardText, board, error)) return false;
    if (board.size() != kBoardCards) {
        error = "board '" + boardText + "' must hold exactly 5 cards";
        return false;
    }
    if (!readCards(holeText, hole, error)) return false;
    if (hole.size() < kMinHoleCards || hole.size() > kMaxHoleCards) {
        error = "hole cards '" + holeText + "' must be " + std::to_string(kMinHoleCards) + " to " +
                std::to_string(kMaxHoleCards) + " cards";
        return false;
    }
    for (CardId c : hole) {
        if (std::find(board.begin(), board.end(), c) != board.end()) {
            error = "card " + narrow(cardCodes[c]) + " is both on the board and in the hand";
            return false;
        }
    }
    std::sort(hole.begin(), hole.end());
    return true;
}

HandValue evaluate(const Deal& deal) {
    return evaluateOmaha(deal.hole.data(), static_cast<int>(deal.hole.size()), deal.board.data());
}

}  // namespace

void addEvalCommand(CLI::App& app, CliContext& ctx) {
    struct Args {
        std::string board;
        std::vector<std::string> holes;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "eval",
        "Print the hand value and category of each HOLE on BOARD; with no HOLE, read "
        "'BOARD HOLE' lines from standard input and print one value per line");
    cmd->add_option("BOARD", args->board, "Five concatenated card codes, e.g. AsKd7h2c9s");
    cmd->add_option("HOLE", args->holes, "Two to seven concatenated card codes");
    cmd->callback([args, &ctx] {
        std::string error;
        if (!args->board.empty() && args->holes.empty()) {
            std::fprintf(stderr,
                         "error: give HOLE arguments after BOARD, or neither to read 'BOARD HOLE' "
                         "lines from standard input\n");
            ctx.exitCode = 1;
            return;
        }
        // Arguments are checked before the table is loaded or anything is printed.
        std::vector<Deal> deals(args->holes.size());
        for (std::size_t i = 0; i < deals.size(); ++i) {
            if (!readDeal(args->board, args->holes[i], deals[i], error)) {
                std::fprintf(stderr, "error: %s\n", error.c_str());
                ctx.exitCode = 1;
                return;
            }
        }
        if (!loadTableOrComplain(ctx)) {
            ctx.exitCode = 2;
            return;
        }
        if (!deals.empty()) {
            for (const Deal& deal : deals) {
                const HandValue value = evaluate(deal);
                std::printf("%d %s\n", value, std::string(categoryName(categoryOf(value))).c_str());
            }
            return;
        }
        // Batch mode: every line carries both fields.
        std::string line;
        long lineNo = 0;
        while (std::getline(std::cin, line)) {
            ++lineNo;
            std::istringstream fields(line);
            std::string boardText, holeText;
            if (!(fields >> boardText)) continue;
            fields >> holeText;
            std::string extra;
            if (fields >> extra) error = "expected 'BOARD HOLE', found more fields";
            Deal deal;
            if (!extra.empty() || !readDeal(boardText, holeText, deal, error)) {
                std::fprintf(stderr, "error: line %ld: %s\n", lineNo, error.c_str());
                ctx.exitCode = 1;
                return;
            }
            std::printf("%d\n", evaluate(deal));
        }
    });
}

}  // namespace varnel::cli
