#include "packs/placement.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace packs {

namespace {

// Up to this many cells and one pack, every choice and grouping of the cells is searched, as far
// as kExactSteps cells put into a group: a deterministic bound (no clock), so that the same cells
// give the same pack everywhere. Up to 12 cells the search always ends; past the bound the better
// of what it found and of the construction below is taken.
constexpr std::size_t kExactCells = 24;
constexpr long kExactSteps = 4'000'000;
// A change is taken when it lowers the spread by more than this (percentage points): below it
// the sums' rounding could take a change back and forth.
constexpr double kLeastGain = 1e-9;

// Cells in voltage order, then resistance, then as given: the order everything is taken in.
std::vector<int> VoltageOrder(const std::vector<Cell>& cells) {
    std::vector<int> order(cells.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&cells](int a, int b) {
        const Cell& x = cells[static_cast<std::size_t>(a)];
        const Cell& y = cells[static_cast<std::size_t>(b)];
        return x.voltage != y.voltage ? x.voltage < y.voltage : x.resistance < y.resistance;
    });
    return order;
}

const Cell& At(const std::vector<Cell>& cells, int index) {
    return cells[static_cast<std::size_t>(index)];
}

// The order the spares are kept in: by voltage, then as given.
auto VoltageThenIndex(const std::vector<Cell>& cells) {
    return [&cells](int a, int b) {
        return At(cells, a).voltage != At(cells, b).voltage
                   ? At(cells, a).voltage < At(cells, b).voltage
                   : a < b;
    };
}

// The group's cells by resistance (then as given), with its resistance.
Group MakeGroup(const std::vector<Cell>& cells, std::vector<int> members) {
    std::stable_sort(members.begin(), members.end(), [&cells](int a, int b) {
        return At(cells, a).resistance < At(cells, b).resistance;
    });
    Group group{std::move(members), 0};
    group.resistance = GroupResistance(cells, group.cells);
    return group;
}

double PackSpread(const std::vector<Group>& groups) {
    std::vector<double> resistances;
    for (const Group& group : groups) {
        resistances.push_back(group.resistance);
    }
    return SpreadPercent(resistances);
}

// The groups of a pack by resistance, with its resistance and spread.
Pack MakePack(std::vector<Group> groups) {
    Pack pack;
    std::stable_sort(groups.begin(), groups.end(),
                     [](const Group& a, const Group& b) { return a.resistance < b.resistance; });
    pack.groups = std::move(groups);
    for (const Group& group : pack.groups) {
        pack.resistance += group.resistance;
    }
    pack.spreadPercent = PackSpread(pack.groups);
    return pack;
}

// The spread of the plain deal of pack `k` (from 0): what sorting the cells by voltage and taking
// them as they come gives, the k-th S x P cells P by P, whatever the rules.
double PlainDealSpread(const std::vector<Cell>& cells, const std::vector<int>& order, std::size_t k,
                       const Rules& rules) {
    const auto p = static_cast<std::size_t>(rules.parallel);
    const std::size_t first = k * static_cast<std::size_t>(rules.series) * p;
    std::vector<Group> dealt;
    for (std::size_t g = 0; g < static_cast<std::size_t>(rules.series); ++g) {
        const auto begin = order.begin() + static_cast<std::ptrdiff_t>(first + g * p);
        dealt.push_back(
            MakeGroup(cells, std::vector<int>(begin, begin + static_cast<std::ptrdiff_t>(p))));
    }
    return PackSpread(dealt);
}

// Groups of P cells, anchored in voltage order: the lowest cell left and the cells within the
// voltage span above it; of those, the P consecutive in resistance that hold the anchor with the
// least relative span within the rule. An anchor with fewer than P cells in its window, or with
// no such run, is left out: a later window starts above it and can never take it.
std::vector<Group> FormGroups(const std::vector<Cell>& cells, const std::vector<int>& order,
                              const Rules& rules, std::vector<int>& outsideWindows,
                              std::vector<int>& noNearResistance) {
    const auto p = static_cast<std::size_t>(rules.parallel);
    std::vector<bool> used(cells.size(), false);
    std::vector<Group> groups;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int anchor = order[i];
        if (used[static_cast<std::size_t>(anchor)]) {
            continue;
        }
        std::vector<int> window{anchor};
        for (std::size_t j = i + 1;
             j < order.size() &&
             At(cells, order[j]).voltage - At(cells, anchor).voltage <= rules.maxVoltageSpan;
             ++j) {
            if (!used[static_cast<std::size_t>(order[j])]) {
                window.push_back(order[j]);
            }
        }
        used[static_cast<std::size_t>(anchor)] = true;
        if (window.size() < p) {
            outsideWindows.push_back(anchor);
            continue;
        }
        std::stable_sort(window.begin(), window.end(), [&cells](int a, int b) {
            return At(cells, a).resistance < At(cells, b).resistance;
        });
        const auto at = static_cast<std::size_t>(std::find(window.begin(), window.end(), anchor) -
                                                 window.begin());
        std::vector<int> best;
        double bestSpan = 0;
        for (std::size_t first = at >= p - 1 ? at - (p - 1) : 0;
             first <= at && first + p <= window.size(); ++first) {
            std::vector<int> run(window.begin() + static_cast<std::ptrdiff_t>(first),
                                 window.begin() + static_cast<std::ptrdiff_t>(first + p));
            if (!GroupMeetsRules(cells, run, rules)) {
                continue;
            }
            const double span = static_cast<double>(At(cells, run.back()).resistance -
                                                    At(cells, run.front()).resistance);
            if (best.empty() || span < bestSpan) {
                best = std::move(run);
                bestSpan = span;
            }
        }
        if (best.empty()) {
            noNearResistance.push_back(anchor);
            continue;
        }
        for (const int cell : best) {
            used[static_cast<std::size_t>(cell)] = true;
        }
        groups.push_back(MakeGroup(cells, std::move(best)));
    }
    return groups;
}

// Swaps between the pack's highest or lowest group and another while the spread falls and both
// groups keep the rules: only those two groups bound the spread.
void ImproveBySwaps(const std::vector<Cell>& cells, const Rules& rules,
                    std::vector<Group>& groups) {
    std::vector<double> resistances(groups.size()), tried;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        resistances[g] = groups[g].resistance;
    }
    double spread = SpreadPercent(resistances);
    // Buffers reused by every candidate: a swap is weighed without copying the groups.
    std::vector<int> first, second;
    for (bool improved = true; improved;) {
        improved = false;
        const auto [low, high] = std::minmax_element(resistances.begin(), resistances.end());
        const auto lowest = static_cast<std::size_t>(low - resistances.begin());
        const auto highest = static_cast<std::size_t>(high - resistances.begin());
        for (const std::size_t bound : {highest, lowest}) {
            for (std::size_t other = 0; other < groups.size() && !improved; ++other) {
                if (other == bound) {
                    continue;
                }
                for (std::size_t a = 0; a < groups[bound].cells.size() && !improved; ++a) {
                    for (std::size_t b = 0; b < groups[other].cells.size() && !improved; ++b) {
                        first = groups[bound].cells;
                        second = groups[other].cells;
                        std::swap(first[a], second[b]);
                        if (!GroupMeetsRules(cells, first, rules) ||
                            !GroupMeetsRules(cells, second, rules)) {
                            continue;
                        }
                        tried = resistances;
                        tried[bound] = GroupResistance(cells, first);
                        tried[other] = GroupResistance(cells, second);
                        const double after = SpreadPercent(tried);
                        if (after < spread - kLeastGain) {
                            groups[bound] = MakeGroup(cells, first);
                            groups[other] = MakeGroup(cells, second);
                            resistances[bound] = groups[bound].resistance;
                            resistances[other] = groups[other].resistance;
                            spread = SpreadPercent(resistances);
                            improved = true;
                        }
                    }
                }
            }
            if (improved) {
                break;
            }
        }
    }
}

// Packs of S groups each, as many as asked and as the groups allow, taken out of `groups`: runs
// of S groups consecutive by resistance, the runs chosen so that the largest spread of a pack is
// the least it can be (of equal ones, the least sum of spreads): a dynamic programme over the
// groups in resistance order, each either skipped or ending a run.
std::vector<std::vector<Group>> ChoosePacks(std::vector<Group>& groups, const Rules& rules) {
    std::stable_sort(groups.begin(), groups.end(),
                     [](const Group& a, const Group& b) { return a.resistance < b.resistance; });
    const auto s = static_cast<std::size_t>(rules.series);
    const std::size_t n = groups.size();
    const std::size_t packs = std::min(static_cast<std::size_t>(rules.count), n / s);
    if (packs == 0) {
        return {};
    }
    // run[i]: the spread of groups i .. i+S-1.
    std::vector<double> run(n + 1 >= s ? n + 1 - s : 0);
    for (std::size_t i = 0; i < run.size(); ++i) {
        run[i] =
            PackSpread(std::vector<Group>(groups.begin() + static_cast<std::ptrdiff_t>(i),
                                          groups.begin() + static_cast<std::ptrdiff_t>(i + s)));
    }
    // best[i][k]: (largest, sum) of the spreads of k runs among the first i groups.
    struct Cost {
        double largest = 0, sum = 0;
        bool reached = false;
        bool operator<(const Cost& other) const {
            return largest != other.largest ? largest < other.largest : sum < other.sum;
        }
    };
    std::vector<std::vector<Cost>> best(n + 1, std::vector<Cost>(packs + 1));
    std::vector<std::vector<bool>> endsRun(n + 1, std::vector<bool>(packs + 1, false));
    for (std::size_t i = 0; i <= n; ++i) {
        best[i][0].reached = true;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t k = 1; k <= packs; ++k) {
            Cost chosen = best[i - 1][k]; // group i-1 skipped
            bool ends = false;
            if (i >= s && best[i - s][k - 1].reached) {
                const Cost withRun{std::max(best[i - s][k - 1].largest, run[i - s]),
                                   best[i - s][k - 1].sum + run[i - s], true};
                if (!chosen.reached || withRun < chosen) {
                    chosen = withRun;
                    ends = true;
                }
            }
            best[i][k] = chosen;
            endsRun[i][k] = ends;
        }
    }
    std::vector<std::vector<Group>> chosenPacks;
    std::vector<bool> taken(n, false);
    for (std::size_t i = n, k = packs; k > 0;) {
        if (endsRun[i][k]) {
            chosenPacks.emplace_back(groups.begin() + static_cast<std::ptrdiff_t>(i - s),
                                     groups.begin() + static_cast<std::ptrdiff_t>(i));
            std::fill(taken.begin() + static_cast<std::ptrdiff_t>(i - s),
                      taken.begin() + static_cast<std::ptrdiff_t>(i), true);
            i -= s;
            --k;
        } else {
            --i;
        }
    }
    std::reverse(chosenPacks.begin(), chosenPacks.end());
    std::vector<Group> left;
    for (std::size_t i = 0; i < n; ++i) {
        if (!taken[i]) {
            left.push_back(std::move(groups[i]));
        }
    }
    groups = std::move(left);
    return chosenPacks;
}

// Replacements of a cell of the pack's highest or lowest group by a spare of the same voltage
// window while the spread falls and the group keeps the rules; the cell replaced becomes a spare.
// `spares` is in voltage order and stays so.
void ImproveWithSpares(const std::vector<Cell>& cells, const Rules& rules,
                       std::vector<Group>& groups, std::vector<int>& spares) {
    const auto byVoltage = VoltageThenIndex(cells);
    double spread = PackSpread(groups);
    for (bool improved = true; improved;) {
        improved = false;
        std::size_t highest = 0, lowest = 0;
        for (std::size_t g = 1; g < groups.size(); ++g) {
            highest = groups[g].resistance > groups[highest].resistance ? g : highest;
            lowest = groups[g].resistance < groups[lowest].resistance ? g : lowest;
        }
        for (const std::size_t bound : {highest, lowest}) {
            const std::vector<int> members = groups[bound].cells;
            for (std::size_t a = 0; a < members.size() && !improved; ++a) {
                // The spares whose voltage keeps the group's span: within the span of the others.
                std::int64_t low = 0, high = 0;
                bool first = true;
                for (std::size_t k = 0; k < members.size(); ++k) {
                    if (k != a) {
                        low = first ? At(cells, members[k]).voltage
                                    : std::min(low, At(cells, members[k]).voltage);
                        high = first ? At(cells, members[k]).voltage
                                     : std::max(high, At(cells, members[k]).voltage);
                        first = false;
                    }
                }
                const auto begin = std::partition_point(spares.begin(), spares.end(), [&](int c) {
                    return At(cells, c).voltage < (first ? 0 : high - rules.maxVoltageSpan);
                });
                for (auto it = begin;
                     it != spares.end() && !improved &&
                     (first || At(cells, *it).voltage <= low + rules.maxVoltageSpan);
                     ++it) {
                    std::vector<int> tried = members;
                    tried[a] = *it;
                    if (!GroupMeetsRules(cells, tried, rules)) {
                        continue;
                    }
                    std::vector<Group> after = groups;
                    after[bound] = MakeGroup(cells, tried);
                    const double afterSpread = PackSpread(after);
                    if (afterSpread < spread - kLeastGain) {
                        const int replaced = members[a];
                        spares.erase(it);
                        spares.insert(
                            std::upper_bound(spares.begin(), spares.end(), replaced, byVoltage),
                            replaced);
                        groups = std::move(after);
                        spread = afterSpread;
                        improved = true;
                    }
                }
            }
            if (improved) {
                break;
            }
        }
    }
}

// The pack the exact search found (none when no grouping keeps the rules), and whether it tried
// every grouping.
struct ExactResult {
    std::vector<Group> groups;
    bool complete = true;
};

// Every choice of S x P of the cells and every grouping of them, up to kExactSteps steps:
// the least spread within the rules (of equal ones the first found).
ExactResult ExactPack(const std::vector<Cell>& cells, const std::vector<int>& order,
                      const Rules& rules) {
    const auto p = static_cast<std::size_t>(rules.parallel);
    const auto s = static_cast<std::size_t>(rules.series);
    std::vector<bool> used(cells.size(), false);
    std::vector<Group> current, best;
    double bestSpread = 0;
    long steps = 0;
    // Groups come in the order of their first cell (their leader), so that no grouping is tried
    // twice; a cell that no group takes stays out of the pack.
    std::function<void(std::size_t)> nextGroup;
    const std::function<void(std::vector<int>, std::size_t, std::size_t)> fill =
        [&](std::vector<int> members, std::size_t from, std::size_t leader) {
            if (members.size() == p) {
                if (GroupMeetsRules(cells, members, rules)) {
                    current.push_back(MakeGroup(cells, std::move(members)));
                    nextGroup(leader + 1);
                    current.pop_back();
                }
                return;
            }
            // In voltage order: past the leader's voltage span no later cell can join.
            for (std::size_t k = from;
                 k < order.size() && ++steps <= kExactSteps &&
                 At(cells, order[k]).voltage - At(cells, order[leader]).voltage <=
                     rules.maxVoltageSpan;
                 ++k) {
                const auto cell = static_cast<std::size_t>(order[k]);
                if (!used[cell]) {
                    used[cell] = true;
                    std::vector<int> more = members;
                    more.push_back(order[k]);
                    fill(std::move(more), k + 1, leader);
                    used[cell] = false;
                }
            }
        };
    // No group's resistance exceeds that of P cells of the highest resistance, nor then the mean
    // of a pack's groups: the spread of the groups made so far over it is a floor of any pack
    // they end in, and a branch whose floor reaches the best spread found is left.
    std::int64_t highest = 0;
    for (const Cell& cell : cells) {
        highest = std::max(highest, cell.resistance);
    }
    const double highestGroup = static_cast<double>(highest) / 1000.0 / static_cast<double>(p);
    nextGroup = [&](std::size_t leaderFrom) {
        if (current.size() == s) {
            const double spread = PackSpread(current);
            if (best.empty() || spread < bestSpread) {
                best = current;
                bestSpread = spread;
            }
            return;
        }
        if (!best.empty() && current.size() >= 2) {
            const auto [low, high] = std::minmax_element(
                current.begin(), current.end(),
                [](const Group& a, const Group& b) { return a.resistance < b.resistance; });
            if (100.0 * (high->resistance - low->resistance) / highestGroup >= bestSpread) {
                return;
            }
        }
        for (std::size_t k = leaderFrom; k < order.size() && ++steps <= kExactSteps; ++k) {
            const auto cell = static_cast<std::size_t>(order[k]);
            if (!used[cell]) {
                used[cell] = true;
                fill({order[k]}, k + 1, k);
                used[cell] = false;
            }
        }
    };
    nextGroup(0);
    return {std::move(best), steps <= kExactSteps};
}

} // namespace

double GroupResistance(const std::vector<Cell>& cells, const std::vector<int>& group) {
    double conductance = 0;
    for (const int cell : group) {
        conductance += 1000.0 / static_cast<double>(At(cells, cell).resistance);
    }
    return conductance > 0 ? 1.0 / conductance : 0;
}

double SpreadPercent(const std::vector<double>& resistances) {
    if (resistances.empty()) {
        return 0;
    }
    const auto [low, high] = std::minmax_element(resistances.begin(), resistances.end());
    double sum = 0;
    for (const double r : resistances) {
        sum += r;
    }
    const double mean = sum / static_cast<double>(resistances.size());
    return mean > 0 ? 100.0 * (*high - *low) / mean : 0;
}

GroupSpans SpansOf(const std::vector<Cell>& cells, const std::vector<int>& group) {
    GroupSpans spans;
    if (group.empty()) {
        return spans;
    }
    std::int64_t vLow = At(cells, group.front()).voltage, vHigh = vLow;
    std::int64_t rLow = At(cells, group.front()).resistance, rHigh = rLow;
    for (const int cell : group) {
        const Cell& c = At(cells, cell);
        vLow = std::min(vLow, c.voltage);
        vHigh = std::max(vHigh, c.voltage);
        rLow = std::min(rLow, c.resistance);
        rHigh = std::max(rHigh, c.resistance);
        spans.resistanceSum += c.resistance;
    }
    spans.voltage = vHigh - vLow;
    spans.resistance = rHigh - rLow;
    spans.cells = group.size();
    return spans;
}

double GroupSpans::ResistancePercent() const {
    return resistanceSum > 0 ? 100.0 * static_cast<double>(resistance) *
                                   static_cast<double>(cells) / static_cast<double>(resistanceSum)
                             : 0;
}

bool GroupMeetsRules(const std::vector<Cell>& cells, const std::vector<int>& group,
                     const Rules& rules) {
    const GroupSpans spans = SpansOf(cells, group);
    // span <= x% of the mean: span * 100 * n <= x * sum, in doubles of exact integers.
    return spans.cells > 0 && spans.voltage <= rules.maxVoltageSpan &&
           static_cast<double>(spans.resistance) * 100.0 * static_cast<double>(spans.cells) <=
               rules.maxResistanceSpanPercent * static_cast<double>(spans.resistanceSum);
}

namespace {

// The placement of the one pack the exact search found: every other cell a spare.
Placement PlacementOfPack(const std::vector<Cell>& cells, const std::vector<int>& order,
                          const Rules& rules, std::vector<Group> groups) {
    Placement placement;
    std::vector<bool> inPack(cells.size(), false);
    for (const Group& group : groups) {
        for (const int cell : group.cells) {
            inPack[static_cast<std::size_t>(cell)] = true;
        }
    }
    for (const int cell : order) {
        if (!inPack[static_cast<std::size_t>(cell)]) {
            placement.spares.push_back(cell);
        }
    }
    placement.packs.push_back(MakePack(std::move(groups)));
    placement.packs[0].plainDealSpreadPercent = PlainDealSpread(cells, order, 0, rules);
    return placement;
}

// The construction: groups per voltage window, packs of groups by resistance, swaps.
Placement Construct(const std::vector<Cell>& cells, const std::vector<int>& order,
                    const Rules& rules) {
    Placement placement;
    const auto packCells =
        static_cast<std::size_t>(rules.series) * static_cast<std::size_t>(rules.parallel);
    std::vector<int> noNearResistance;
    std::vector<Group> groups =
        FormGroups(cells, order, rules, placement.leftOut, noNearResistance);
    std::vector<std::vector<Group>> chosenPacks = ChoosePacks(groups, rules);
    for (std::vector<Group>& chosen : chosenPacks) {
        ImproveBySwaps(cells, rules, chosen);
    }
    // The cells no pack took are the spares; pack by pack, a spare may take a cell's place where
    // that evens the pack.
    for (const Group& group : groups) {
        placement.spares.insert(placement.spares.end(), group.cells.begin(), group.cells.end());
    }
    placement.spares.insert(placement.spares.end(), noNearResistance.begin(),
                            noNearResistance.end());
    std::sort(placement.spares.begin(), placement.spares.end(), VoltageThenIndex(cells));
    for (std::vector<Group>& chosen : chosenPacks) {
        ImproveWithSpares(cells, rules, chosen, placement.spares);
        ImproveBySwaps(cells, rules, chosen);
        placement.packs.push_back(MakePack(std::move(chosen)));
    }
    for (std::size_t k = 0; k < placement.packs.size(); ++k) {
        placement.packs[k].plainDealSpreadPercent = PlainDealSpread(cells, order, k, rules);
    }
    if (placement.packs.size() < static_cast<std::size_t>(rules.count)) {
        placement.shortfall = cells.size() < packCells   ? Shortfall::TooFewCells
                              : noNearResistance.empty() ? Shortfall::VoltageWindows
                                                         : Shortfall::ResistanceSpans;
    }
    return placement;
}

} // namespace

Placement Place(const std::vector<Cell>& cells, const Rules& rules) {
    const std::vector<int> order = VoltageOrder(cells);
    const auto packCells =
        static_cast<std::size_t>(rules.series) * static_cast<std::size_t>(rules.parallel);
    if (rules.count == 1 && cells.size() <= kExactCells && cells.size() >= packCells) {
        ExactResult exact = ExactPack(cells, order, rules);
        if (!exact.groups.empty()) {
            Placement found = PlacementOfPack(cells, order, rules, std::move(exact.groups));
            if (exact.complete) {
                return found;
            }
            Placement constructed = Construct(cells, order, rules);
            return !constructed.packs.empty() &&
                           constructed.packs[0].spreadPercent < found.packs[0].spreadPercent
                       ? constructed
                       : found;
        }
    }
    return Construct(cells, order, rules);
}

} // namespace packs
