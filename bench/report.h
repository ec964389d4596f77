// The figures of one benchmark run and their two written forms: a Markdown
// table for people and JSON with every raw value for tools.
#pragma once

#include "stopwatch.h"

#include <string>
#include <vector>

namespace bench {

struct Figure {
    std::string key;     // stable name in the JSON
    std::string title;   // what was measured, as the table shows it
    std::string group;   // "main", "routing growth", "popup growth"
    std::string size;    // growth size ("50 x 20"), empty for main figures
    int scale = 0;       // the number the size stands for (records scanned, items)
    bool compared = false;
    Stats library;       // microseconds per operation
    Stats system;        // microseconds per operation, when compared
    double target = 0;   // the largest acceptable ratio, 0 when none
    std::string check;   // what was verified about the run, for the reader

    double ratio() const { return compared && system.median > 0 ? library.median / system.median : 0; }
    bool hasTarget() const { return compared && target > 0; }
    bool met() const { return hasTarget() && ratio() <= target; }
};

// One part of a figure's cost, timed alone: what the library does beside
// cheaper ways to the same result.
struct ProfileRow {
    std::string figure;  // which figure it explains
    std::string what;
    Stats time;          // microseconds per call
};

// Private bytes around many records of one kind: made, and freed again.
struct MemoryRow {
    std::string what;
    int count = 0;
    size_t before = 0;
    size_t with = 0;   // with the records made
    size_t after = 0;  // after they were freed
    double perRecord() const { return count ? (double(with) - double(before)) / count : 0; }
};

struct Report {
    std::string machine;  // given by the caller: date, system, cores, wine
    bool fast = false;
    std::vector<Figure> figures;
    std::vector<std::string> findings;  // sentences on growth, written from the figures
    std::vector<std::string> problems;  // anything that failed while measuring
    std::vector<ProfileRow> profile;    // parts of a figure's cost, timed alone
    std::vector<MemoryRow> memory;      // private bytes per record
};

std::string toJson(const Report& report);
std::string toMarkdown(const Report& report);

// Sentences saying where the cost of a growth series leaves its target.
void describeGrowth(Report& report, const std::string& group, const char* recordName, double target);

}  // namespace bench
