// varnel-cli range [--cards N] [--list] EXPR: the hands a range expression names. Exit status 1
// when the expression does not parse, 2 when an ordering it needs is missing or not valid.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "core/cards.h"
#include "core/game.h"
#include "range/range_expression.h"

namespace varnel::cli {
namespace {

constexpr int kExitNoData = 2;  // an ordering behind a percentage term is missing or not valid

// Writes the hands one a line, each as its card codes in ascending CardId order.
void printHands(const HandList& list) {
    std::string line;
    for (CardMask hand : list.hands) {
        line.clear();
        for (CardMask rest = hand; rest; rest &= rest - 1) {
            const std::wstring_view code = cardCodes[std::countr_zero(rest)];
            line.push_back(static_cast<char>(code[0]));
            line.push_back(static_cast<char>(code[1]));
        }
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
}

}  // namespace

void addRangeCommand(CLI::App& app, CliContext& ctx) {
    struct Args {
        int cards = kDefaultHoleCards;
        bool list = false;
        std::string expression;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "range", "Print the number of hands EXPR names (-1 when it does not parse)");
    cmd->add_option("--cards", args->cards, "Hole cards per hand")
        ->check(CLI::Range(kMinHoleCards, kMaxHoleCards))
        ->capture_default_str();
    cmd->add_flag("--list", args->list, "Also print every hand, one a line, in list order");
    cmd->add_option("EXPR", args->expression, "Range expression, e.g. \"AsKs,QQ!xxyy\"")
        ->required();
    cmd->callback([args, &ctx] {
        bool plainAscii = true;
        const std::wstring text = widen(args->expression, plainAscii);
        HandList list;
        std::wstring orderingProblem;
        const std::int32_t count = parseRangeExpression(text, args->cards, list, &orderingProblem);
        if (count == kRangeOrderingUnavailable) {
            std::fprintf(stderr, "error: %s\n", narrow(orderingProblem).c_str());
            ctx.exitCode = kExitNoData;
            return;
        }
        std::printf("%d\n", count);
        if (count < 0) {
            std::fprintf(
                stderr, "error: the range \"%s\" does not parse%s\n", args->expression.c_str(),
                plainAscii
                    ? " (check its parentheses, operators , : ! and percentages such as 12.5%)"
                    : ": it holds a character outside ASCII");
            ctx.exitCode = 1;
            return;
        }
        if (args->list) printHands(list);
    });
}

}  // namespace varnel::cli
