// The events as the Windows Event Log gets them: every event of the log has
// its ID and level, the IDs never move, and README's tables say the same.
#include "service/ServiceEvents.h"

#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// The first cell of each table row under the heading `heading`, without its
// backquotes, and the row's other cells.
std::map<std::string, std::vector<std::string>> ReadmeRows(const std::string& heading) {
    std::ifstream file(VORLANE_README_PATH);
    std::map<std::string, std::vector<std::string>> rows;
    std::string line;
    bool inSection = false;
    while (std::getline(file, line)) {
        if (line.rfind("## ", 0) == 0 || line.rfind("### ", 0) == 0) inSection = line == heading;
        if (!inSection || line.rfind("| `", 0) != 0) continue;
        std::vector<std::string> cells;
        for (std::size_t at = 1; at < line.size();) {
            const std::size_t bar = line.find('|', at);
            if (bar == std::string::npos) break;
            std::string cell = line.substr(at, bar - at);
            cell.erase(0, cell.find_first_not_of(' '));
            cell.erase(cell.find_last_not_of(' ') + 1);
            cells.push_back(cell);
            at = bar + 1;
        }
        const std::string name = cells[0].substr(1, cells[0].find('`', 1) - 1);
        cells.erase(cells.begin());
        rows[name] = cells;
    }
    return rows;
}

TEST(EventKinds, EveryEventOfTheLogHasItsIdAndTheIdsNeverMove) {
    // Administrators filter and forward by these numbers: an ID, once
    // given, stays.
    const std::map<std::string, unsigned> pinned = {
        {"start", 1},   {"settings", 2},       {"lookup", 3},    {"down", 4},
        {"up", 5},      {"drop", 6},           {"countdown", 7}, {"cancel", 8},
        {"run", 9},     {"ran", 10},           {"runup", 11},    {"ranup", 12},
        {"rearm", 13},  {"shutdown-step", 14}, {"stopped", 15},  {"suspend", 16},
        {"resume", 17}, {"pause", 18},         {"continue", 19}, {"warning", 20},
        {"exit", 21}};
    std::map<std::string, unsigned> table;
    std::set<unsigned> ids;
    for (const EventKind& kind : EventKinds()) {
        table[std::string(kind.name)] = kind.id;
        EXPECT_TRUE(ids.insert(kind.id).second) << "ID " << kind.id << " given twice";
        EXPECT_TRUE(kind.id > 0 && kind.id < kOtherEventId) << kind.name;
    }
    for (const auto& [name, id] : pinned) EXPECT_EQ(table[name], id) << name;

    // Every event README's log table lists, and no other.
    std::set<std::string> logged;
    for (const auto& row : ReadmeRows("## Event log and tooltip")) logged.insert(row.first);
    ASSERT_FALSE(logged.empty()) << "no event table found in " << VORLANE_README_PATH;
    std::set<std::string> rows;
    for (const auto& row : table) rows.insert(row.first);
    EXPECT_EQ(logged, rows);
}

TEST(EventKinds, ReadmeListsEachIdAndLevelAsReported) {
    const auto rows = ReadmeRows("### Windows Event Log");
    ASSERT_EQ(rows.size(), EventKinds().size());
    const char* const levels[] = {"Information", "Warning", "Error"};
    for (const EventKind& kind : EventKinds()) {
        const auto row = rows.find(std::string(kind.name));
        ASSERT_NE(row, rows.end()) << kind.name;
        ASSERT_GE(row->second.size(), 2u) << kind.name;
        EXPECT_EQ(row->second[0], std::to_string(kind.id)) << kind.name;
        EXPECT_EQ(row->second[1].rfind(levels[static_cast<int>(kind.level)], 0), 0u)
            << kind.name << ": " << row->second[1];
    }
}

TEST(ReportFor, LevelFollowsTheEventAndAFailedStartIsAnError) {
    EXPECT_EQ(ReportFor("drop", L"limit=3").level, EventLevel::Warning);
    EXPECT_EQ(ReportFor("run", L"command=x").level, EventLevel::Warning);
    EXPECT_EQ(ReportFor("up", L"target=a").level, EventLevel::Information);
    EXPECT_EQ(ReportFor("ran", L"code=0\tduration=0.100s").level, EventLevel::Information);
    EXPECT_EQ(ReportFor("ran", L"error=拒绝访问\tduration=0.000s").level, EventLevel::Error);
    EXPECT_EQ(ReportFor("ranup", L"error=x").level, EventLevel::Error);
    // Only a field named error counts, not the word inside a value.
    EXPECT_EQ(ReportFor("run", L"command=echo error=1").level, EventLevel::Warning);
    EXPECT_EQ(ReportFor("ran", L"code=1\\terror=x").level, EventLevel::Information);
}

TEST(ReportFor, DetailsOnePerLineAnUnknownEventNamedAndALongTextCut) {
    const EventReport drop = ReportFor("drop", L"limit=3\tmissed=4");
    EXPECT_EQ(drop.id, 6u);
    EXPECT_EQ(drop.text, L"limit=3\r\nmissed=4");

    const EventReport other = ReportFor("future-event", L"a=1");
    EXPECT_EQ(other.id, kOtherEventId);
    EXPECT_EQ(other.text, L"event=future-event\r\na=1");

    const EventReport huge = ReportFor("warning", L"text=" + std::wstring(100000, L'x'));
    EXPECT_LE(huge.text.size(), kEventTextLimit + 1);
    EXPECT_EQ(huge.text.back(), L'…');
}

}  // namespace
}  // namespace vorlane
