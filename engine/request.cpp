#include "engine/request.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cwctype>
#include <new>

#include "core/game.h"
#include "engine/ordering_status.h"
#include "engine/parameters.h"
#include "range/range_expression.h"

namespace varnel {
namespace {

constexpr std::wstring_view kBoardKeys[kMaxBoards] = {L"B1", L"B2"};
constexpr std::wstring_view kThirdBoardKey = L"B3";
constexpr std::wstring_view kDeadKey = L"D";
constexpr int kMaxThreads = 256;
// Hold'em (two hole cards) is the one known game that is not an Omaha game.
constexpr int kFewestOmahaHoleCards = 4;

std::wstring quoted(const std::wstring& text) {
    return L"'" + text + L"'";
}

// "As", "As and Kd", "As, Kd and 7h": the cards of `mask` in the order their codes appear in
// `text` (cards not written there last).
std::wstring cardNames(CardMask mask, const std::wstring& text) {
    std::vector<std::pair<std::size_t, CardId>> cards;
    for (CardMask m = mask; m; m &= m - 1) {
        const CardId card = std::countr_zero(m);
        cards.emplace_back(text.find(cardCodes[card]), card);
    }
    std::sort(cards.begin(), cards.end());
    std::wstring out;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (i > 0) out += i + 1 == cards.size() ? L" and " : L", ";
        out += cardCodes[cards[i].second];
    }
    return out;
}

// Cards a field holds for sure: a board, the dead cards or a player's only hand.
struct KnownCards {
    std::wstring field;
    std::wstring text;
    CardMask cards = 0;
    bool board = false;

    // "Kh is on B1", "Ks and Kd are in P 1".
    std::wstring where(CardMask some) const {
        const bool one = std::has_single_bit(some);
        return cardNames(some, text) + (one ? L" is " : L" are ") + (board ? L"on " : L"in ") +
               field;
    }
};

class Reader {
  public:
    Reader(const RequestInput& input, const std::atomic<bool>* stop)
        : m_input(input), m_stop(stop) {}

    CheckedRequest read() {
        readGame();
        readParameters();
        readBoards();
        readDeadCards();
        if (m_holeCount > 0) readPlayers();
        // Clashes are looked for as soon as the boards and dead cards are known, so that they
        // are told together with the problems of other fields.
        if (!m_out.stopped && !m_cardsUnknown && m_holeCount > 0) checkCollisions();
        if (!m_out.stopped && m_out.problems.empty()) checkDeckSize();
        if (!m_out.ok()) m_out.request.lists = {};
        return std::move(m_out);
    }

  private:
    void problem(std::wstring_view field, const std::wstring& why) {
        m_out.problems.push_back({std::wstring(field), std::wstring(field) + L": " + why});
        m_cardsUnknown |= field == kBoardKeys[0] || field == kBoardKeys[1] || field == kDeadKey;
    }
    bool hasProblem(const std::wstring& field) const {
        return std::any_of(m_out.problems.begin(), m_out.problems.end(),
                           [&](const RequestProblem& p) { return p.field == field; });
    }
    void generalProblem(const std::wstring& message) { m_out.problems.push_back({L"", message}); }

    const std::wstring* field(std::wstring_view key) const {
        const auto it = m_input.fields.find(std::wstring(key));
        return it == m_input.fields.end() || it->second.empty() ? nullptr : &it->second;
    }

    void readGame() {
        const std::wstring& game = m_input.game;
        std::int32_t holeCount = 0;
        if (!holeCardsForGame(game, holeCount)) {
            std::wstring names;
            for (std::size_t g = 0; g < kGameTypes.size(); ++g)
                if (kGameTypes[g].holeCards >= kFewestOmahaHoleCards)
                    names += (names.empty() ? L"" : L", ") + std::wstring(kGameTypes[g].name);
            problem(L"Game", quoted(game) + L" is not a known game (" + names + L")");
            return;
        }
        if (holeCount < kFewestOmahaHoleCards) {
            // The Omaha rule (two hole cards and three board cards) would score a hold'em hand
            // wrongly, and no other rule is built in.
            problem(L"Game",
                    quoted(game) + L" cannot be calculated: Varnel plays the Omaha games only");
            return;
        }
        m_holeCount = holeCount;
        m_out.request.holeCount = holeCount;
        m_out.request.hiLo = isHiLoGame(game);
    }

    void readParameters() {
        const RunParameters& p = m_input.parameters;
        EquityRequest& r = m_out.request;
        auto check = [&](std::wstring_view name, const std::wstring& why) {
            if (!why.empty()) problem(name, why);
        };
        check(L"Rounds", roundsProblem(p.rounds));
        check(L"Seconds", secondsProblem(p.seconds));
        check(L"Precision", precisionProblem(p.precision));
        check(L"Pause", pauseProblem(p.pauseMs));
        if (p.threads < 1 || p.threads > kMaxThreads)
            problem(L"Threads", L"must be from 1 to " + std::to_wstring(kMaxThreads));
        r.mode = p.mode;
        r.rounds = p.rounds;
        r.seconds = p.seconds;
        r.precision = p.precision;
        r.pause = std::chrono::milliseconds(p.pauseMs);
        r.threads = p.threads;
        r.seed = p.seed;
    }

    // Reads a run of distinct card codes with nothing left over; false after naming the problem.
    bool readCards(std::wstring_view key, const std::wstring& text, std::wstring_view what,
                   CardMask& cards) {
        std::wstring why;
        if (text.size() % 2 != 0) {
            why = L"'" + text.substr(text.size() - 1) + L"' at the end is not a card code";
        } else if (!parseCardRun(text, cards, &why)) {
            cards = 0;
        } else {
            return true;
        }
        problem(key, quoted(text) + L" is not " + std::wstring(what) + L": " + why);
        return false;
    }

    void readBoards() {
        Boards& boards = m_out.request.boards;
        for (int b = 0; b < kMaxBoards; ++b) {
            const std::wstring* text = field(kBoardKeys[b]);
            if (!text) continue;
            CardMask cards = 0;
            if (!readCards(kBoardKeys[b], *text, L"a board of 3 to 5 different cards", cards))
                continue;
            const int n = cardCount(cards);
            if (n < kMinFixedBoardCards || n > kBoardCards) {
                problem(kBoardKeys[b], quoted(*text) + L" holds " + std::to_wstring(n) +
                                           L" cards; a board holds 3 to 5");
                continue;
            }
            boards[b] = cards;
            m_known.push_back({std::wstring(kBoardKeys[b]), *text, cards, true});
        }
        const std::wstring* first = field(kBoardKeys[0]);
        const std::wstring* second = field(kBoardKeys[1]);
        if (second && !first) {
            problem(kBoardKeys[1], L"a second board needs a first one: B1 is empty");
        } else if (boards[0] && boards[1]) {
            if (cardCount(boards[0]) != cardCount(boards[1])) {
                problem(kBoardKeys[1],
                        quoted(*second) + L" holds " + std::to_wstring(cardCount(boards[1])) +
                            L" cards and B1 " + std::to_wstring(cardCount(boards[0])) +
                            L"; both boards must hold as many");
            } else if (const CardMask both = boards[0] & boards[1]) {
                problem(kBoardKeys[1], quoted(*second) + L" shares " + cardNames(both, *second) +
                                           L" with B1; a card can be on one board only");
            }
        }
        if (const std::wstring* third = field(kThirdBoardKey))
            problem(kThirdBoardKey,
                    quoted(*third) + L" is not used: only B1 and B2 are boards; clear B3");
        for (const auto& [key, text] : m_input.fields) {
            const bool player = key.starts_with(L'P');
            const bool known = key == kBoardKeys[0] || key == kBoardKeys[1] ||
                               key == kThirdBoardKey || key == kDeadKey;
            if (!player && !known && !text.empty()) problem(key, L"is not a field of Varnel");
        }
    }

    void readDeadCards() {
        const std::wstring* text = field(kDeadKey);
        CardMask dead = 0;
        if (!text || !readCards(kDeadKey, *text, L"a list of different cards", dead)) return;
        for (const KnownCards& board : m_known) {
            if (const CardMask both = dead & board.cards)
                problem(kDeadKey, quoted(*text) + L": " + board.where(both) + L" too");
        }
        m_out.request.deadCards = dead;
        m_known.push_back({std::wstring(kDeadKey), *text, dead, false});
    }

    // A text made of card codes only (wildcards included), with more of them than a hand holds:
    // the range language would read its first codes only.
    bool tooManyCodes(const std::wstring& text) const {
        std::wstring plain = text;
        std::erase(plain, L' ');
        if (plain.size() % 2 != 0 || plain.size() / 2 <= static_cast<std::size_t>(m_holeCount))
            return false;
        for (std::size_t i = 0; i < plain.size(); i += 2) {
            const std::wstring_view code(plain.data() + i, 2);
            const bool card = cardIdFromCode(code) != kNoCard;
            const bool wildcard =
                std::find(wildcardCodes.begin(), wildcardCodes.end(), code) != wildcardCodes.end();
            if (!card && !wildcard) return false;
        }
        return true;
    }

    void readPlayers() {
        std::vector<std::pair<std::wstring, std::wstring>> entries;
        for (const auto& [key, text] : m_input.fields)
            if (key.starts_with(L'P') && !text.empty()) entries.emplace_back(key, text);
        // A lone player is still read, so that the window can tell its count as it is typed.
        if (entries.size() < 2) generalProblem(L"Fill at least two player fields.");
        if (entries.size() > static_cast<std::size_t>(kMaxPlayers)) {
            generalProblem(L"At most " + std::to_wstring(kMaxPlayers) + L" players can be given (" +
                           std::to_wstring(entries.size()) + L" are).");
            return;
        }
        EquityRequest& request = m_out.request;
        request.playerCount = static_cast<int>(entries.size());
        std::size_t handsLeft = m_input.handLimit;
        for (std::size_t p = 0; p < entries.size() && !m_out.stopped; ++p) {
            const auto& [key, text] = entries[p];
            PlayerField player{key, text};
            HandList& list = request.lists[p];
            list = HandList{{}, m_holeCount};
            if (text == kRandomKeyword) {
                player.random = true;
                request.random[p] = true;
            } else {
                readRange(player, list, handsLeft);
                handsLeft -= std::min(handsLeft, list.hands.size());
            }
            m_out.players.push_back(std::move(player));
        }
    }

    void readRange(PlayerField& player, HandList& list, std::size_t handsLeft) {
        const std::wstring& key = player.key;
        const std::wstring& text = player.text;
        if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswspace(c); })) {
            problem(key, L"the field holds only blanks; give a hand, a range or random");
            return;
        }
        if (tooManyCodes(text)) {
            std::wstring plain = text;
            std::erase(plain, L' ');
            problem(key, quoted(text) + L" holds " + std::to_wstring(plain.size() / 2) +
                             L" cards; a hand of " + m_input.game + L" holds " +
                             std::to_wstring(m_holeCount));
            return;
        }
        RangeStatus status = RangeStatus::Read;
        std::wstring orderingProblem;
        try {
            const auto read = [&] {
                status = readRangeExpression(text, m_holeCount, list,
                                             RangeLimits{handsLeft, m_stop}, &orderingProblem);
            };
            // The orderings serve one reader at a time; the window reads the fields for its live
            // counts while a run may read them too.
            if (text.find(L'%') != std::wstring::npos)
                whileOrderingsLocked(read);
            else
                read();
        } catch (const std::bad_alloc&) {
            list.hands = {};
            list.hands.shrink_to_fit();
            problem(key, L"not enough memory to read " + quoted(text));
            return;
        }
        switch (status) {
            case RangeStatus::Unreadable:
                problem(key, quoted(text) + L" is not a valid range");
                return;
            case RangeStatus::TooLarge:
                problem(key, quoted(text) + L" names more hands than the " +
                                 groupedNumber(handsLeft) +
                                 L" left for it; the ranges together may hold " +
                                 groupedNumber(m_input.handLimit));
                return;
            case RangeStatus::OrderingUnavailable:
                // Told by game: which file is missing means nothing to a player.
                problem(key,
                        quoted(text) + L": " +
                            orderingUnavailableText(m_input.game, m_holeCount, orderingsStatus()));
                return;
            case RangeStatus::Stopped:
                m_out.stopped = true;
                return;
            case RangeStatus::Read:
                break;
        }
        // Hands of more cards than the game deals cannot be played (none of the patterns builds
        // them, but a list must not reach the engine with them).
        std::erase_if(list.hands, [&](CardMask hand) { return cardCount(hand) > m_holeCount; });
        if (list.hands.empty()) problem(key, quoted(text) + L" names no hand of " + m_input.game);
        player.hands = list.hands.size();
    }

    // Fixed hands against the boards, the dead cards and each other; ranges against all of
    // those. The cards every hand of a range holds are as good as known (a range "AsKs" holds
    // the As for sure), so they count for the other players too. A range keeps the hands that
    // none of them blocks.
    void checkCollisions() {
        EquityRequest& request = m_out.request;
        const int players = static_cast<int>(m_out.players.size());
        std::vector<KnownCards> known = m_known;
        const std::size_t before = m_out.problems.size();
        for (int p = 0; p < players; ++p) {
            const auto& hands = request.lists[p].hands;
            if (request.random[p] || hands.empty()) continue;
            CardMask sure = kFullDeck;
            for (CardMask hand : hands) sure &= hand;
            const PlayerField& player = m_out.players[p];
            if (hands.size() == 1) {
                for (const KnownCards& other : known) {
                    if (const CardMask both = sure & other.cards)
                        problem(player.key,
                                quoted(player.text) + L": " + other.where(both) + L" too");
                }
            }
            if (sure) known.push_back({player.key, player.text, sure, false});
        }
        if (m_out.problems.size() > before) return;
        for (int p = 0; p < players; ++p) {
            HandList& list = request.lists[p];
            PlayerField& player = m_out.players[p];
            if (request.random[p] || list.hands.size() == 1 || hasProblem(player.key)) continue;
            CardMask blocked = 0;
            for (const KnownCards& k : known)
                if (k.field != player.key) blocked |= k.cards;
            const auto kept = std::count_if(list.hands.begin(), list.hands.end(),
                                            [&](CardMask hand) { return (hand & blocked) == 0; });
            if (kept == 0) {
                problem(player.key, L"no hand of " + quoted(player.text) + L" is left: " +
                                        blockers(list, known, player.key));
                continue;
            }
            if (static_cast<std::size_t>(kept) < list.hands.size())
                std::erase_if(list.hands, [&](CardMask hand) { return (hand & blocked) != 0; });
            player.hands = list.hands.size();
        }
    }

    // The known cards that take the most hands of a range that has none left, by field:
    // "Kh is on B1, Ks and Kd are in P 1".
    std::wstring blockers(const HandList& list, const std::vector<KnownCards>& known,
                          const std::wstring& player) const {
        CardMask all = 0;
        for (const KnownCards& k : known)
            if (k.field != player) all |= k.cards;
        std::array<std::uint64_t, kDeckSize> hits{};
        for (CardMask hand : list.hands)
            for (CardMask m = hand & all; m; m &= m - 1) ++hits[std::countr_zero(m)];
        const std::uint64_t most = *std::max_element(hits.begin(), hits.end());
        CardMask main = 0;
        for (int c = 0; c < kDeckSize; ++c)
            if (hits[c] > 0 && 2 * hits[c] >= most) main |= cardBit(c);
        std::wstring out;
        for (const KnownCards& k : known) {
            if (k.field == player || !(k.cards & main)) continue;
            out += (out.empty() ? L"" : L", ") + k.where(k.cards & main);
        }
        return out;
    }

    // Hands, boards and dead cards together must fit in the deck.
    void checkDeckSize() {
        const EquityRequest& request = m_out.request;
        const int boards = request.boards[1] ? 2 : 1;
        int needed = boards * kBoardCards + cardCount(request.deadCards);
        for (int p = 0; p < request.playerCount; ++p) {
            int fewest = m_holeCount;
            for (CardMask hand : request.lists[p].hands) fewest = std::min(fewest, cardCount(hand));
            needed += fewest;
        }
        if (needed <= kDeckSize) return;
        std::wstring what = std::to_wstring(request.playerCount) + L" hands";
        if (request.deadCards) {
            what += L", " + std::wstring(boards == 2 ? L"two boards" : L"a board") + L" and " +
                    std::to_wstring(cardCount(request.deadCards)) + L" dead cards";
        } else {
            what += boards == 2 ? L" and two boards" : L" and a board";
        }
        generalProblem(m_input.game + L" with " + what + L" needs " + std::to_wstring(needed) +
                       L" cards; the deck holds " + std::to_wstring(kDeckSize) + L".");
    }

    const RequestInput& m_input;
    const std::atomic<bool>* m_stop;
    CheckedRequest m_out;
    std::int32_t m_holeCount = 0;
    std::vector<KnownCards> m_known;  // the boards and the dead cards
    bool m_cardsUnknown = false;      // a board or the dead cards could not be read
};

}  // namespace

std::wstring CheckedRequest::problemText() const {
    std::wstring text;
    for (const RequestProblem& p : problems) text += (text.empty() ? L"" : L"\n") + p.message;
    return text;
}

bool playableGame(std::wstring_view game) {
    std::int32_t holeCount = 0;
    return holeCardsForGame(game, holeCount) && holeCount >= kFewestOmahaHoleCards;
}

std::wstring groupedNumber(std::uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, L",");
    return digits;
}

std::wstring handCountText(std::uint64_t hands) {
    return groupedNumber(hands) + (hands == 1 ? L" hand" : L" hands");
}

std::wstring playerFieldName(int number) {
    return number < 10 ? L"P " + std::to_wstring(number) : L"P" + std::to_wstring(number);
}

CheckedRequest readRequest(const RequestInput& input, const std::atomic<bool>* stop) {
    return Reader(input, stop).read();
}

}  // namespace varnel
