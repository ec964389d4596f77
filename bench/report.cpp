// Writes a run's figures as Markdown and JSON, and reads the growth series.
#include "report.h"

#include <cstdio>
#include <sstream>

namespace bench {

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string number(double value, int decimals = 3)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// Microseconds written in ns below one µs.
std::string duration(double microseconds)
{
    if (microseconds < 1 && microseconds > -1)
        return number(microseconds * 1000, 1) + " ns";
    return number(microseconds, 1) + " µs";
}

std::string statsJson(const Stats& s)
{
    return "{\"median_us\": " + number(s.median) + ", \"min_us\": " + number(s.min) +
           ", \"max_us\": " + number(s.max) + ", \"samples\": " + std::to_string(s.samples) + "}";
}

// "12.3 µs (11.9–14.0)": the median with the spread.
std::string statsCell(const Stats& s)
{
    int decimals = s.median >= 100 ? 0 : s.median >= 10 ? 1 : 2;
    return number(s.median, decimals) + " µs (" + number(s.min, decimals) + "–" + number(s.max, decimals) + ")";
}

std::string ratioCell(const Figure& f) { return f.compared ? number(f.ratio(), 2) + "×" : "—"; }

std::string targetCell(const Figure& f)
{
    if (f.hasTarget())
        return "≤ " + number(f.target, 2) + "×";
    return f.compared ? "—" : "absolute";
}

std::string metCell(const Figure& f)
{
    if (!f.hasTarget())
        return "—";
    return f.met() ? "yes" : "**no**";
}

}  // namespace

std::string toJson(const Report& report)
{
    std::ostringstream out;
    out << "{\n  \"machine\": " << quoted(report.machine) << ",\n  \"fast\": " << (report.fast ? "true" : "false")
        << ",\n  \"figures\": [\n";
    for (size_t i = 0; i < report.figures.size(); ++i) {
        const Figure& f = report.figures[i];
        out << "    {\"key\": " << quoted(f.key) << ", \"title\": " << quoted(f.title) << ", \"group\": "
            << quoted(f.group) << ", \"size\": " << quoted(f.size) << ", \"scale\": " << f.scale
            << ",\n     \"library\": " << statsJson(f.library);
        if (f.compared)
            out << ",\n     \"system\": " << statsJson(f.system) << ", \"ratio\": " << number(f.ratio(), 4)
                << ", \"ratio_of_fastest\": " << number(f.system.min > 0 ? f.library.min / f.system.min : 0, 4);
        if (f.hasTarget())
            out << ", \"target\": " << number(f.target, 2) << ", \"met\": " << (f.met() ? "true" : "false");
        out << ",\n     \"check\": " << quoted(f.check) << "}" << (i + 1 < report.figures.size() ? "," : "") << "\n";
    }
    out << "  ],\n  \"profile\": [\n";
    for (size_t i = 0; i < report.profile.size(); ++i) {
        const ProfileRow& row = report.profile[i];
        out << "    {\"figure\": " << quoted(row.figure) << ", \"what\": " << quoted(row.what)
            << ", \"time\": " << statsJson(row.time) << "}" << (i + 1 < report.profile.size() ? "," : "") << "\n";
    }
    out << "  ],\n  \"memory\": [\n";
    for (size_t i = 0; i < report.memory.size(); ++i) {
        const MemoryRow& row = report.memory[i];
        out << "    {\"what\": " << quoted(row.what) << ", \"count\": " << row.count << ", \"before\": " << row.before
            << ", \"with\": " << row.with << ", \"after\": " << row.after
            << ", \"per_record\": " << number(row.perRecord(), 1) << "}" << (i + 1 < report.memory.size() ? "," : "")
            << "\n";
    }
    out << "  ],\n  \"findings\": [";
    for (size_t i = 0; i < report.findings.size(); ++i)
        out << (i ? ", " : "") << quoted(report.findings[i]);
    out << "],\n  \"problems\": [";
    for (size_t i = 0; i < report.problems.size(); ++i)
        out << (i ? ", " : "") << quoted(report.problems[i]);
    out << "]\n}\n";
    return out.str();
}

std::string toMarkdown(const Report& report)
{
    std::ostringstream out;
    out << "| Figure | Library median (min–max) | System median (min–max) | Ratio | Target | Met? |\n"
        << "|---|---|---|---|---|---|\n";
    for (const Figure& f : report.figures) {
        if (f.group != "main")
            continue;
        out << "| " << f.title << " | " << statsCell(f.library) << " | " << (f.compared ? statsCell(f.system) : "—")
            << " | " << ratioCell(f) << " | " << targetCell(f) << " | " << metCell(f) << " |\n";
    }
    std::string group;
    for (const Figure& f : report.figures) {
        if (f.group == "main")
            continue;
        if (f.group != group) {
            group = f.group;
            out << "\n| " << group << " | Size | Library median (min–max) | System median (min–max) | Ratio |\n"
                << "|---|---|---|---|---|\n";
        }
        out << "| " << f.title << " | " << f.size << " | " << statsCell(f.library) << " | " << statsCell(f.system)
            << " | " << ratioCell(f) << " |\n";
    }
    out << "\nWhat each run checked:\n\n";
    for (const Figure& f : report.figures)
        if (!f.check.empty())
            out << "- " << f.title << (f.size.empty() ? "" : " (" + f.size + ")") << ": " << f.check << "\n";
    if (!report.memory.empty()) {
        out << "\nMemory: the process's private bytes before the records were made, with them, and after they "
               "were freed.\n\n| Record | Count | Before | With them | Per record | After freeing |\n"
               "|---|---|---|---|---|---|\n";
        for (const MemoryRow& row : report.memory)
            out << "| " << row.what << " | " << row.count << " | " << number(row.before / 1024.0, 0) << " KiB | "
                << number(row.with / 1024.0, 0) << " KiB | " << number(row.perRecord(), 0) << " bytes | "
                << number(row.after / 1024.0, 0) << " KiB |\n";
    }
    if (!report.findings.empty()) {
        out << "\nFindings:\n\n";
        for (const std::string& s : report.findings)
            out << "- " << s << "\n";
    }
    if (!report.profile.empty()) {
        out << "\nProfile: parts of the figures, each timed alone.\n\n| Figure | What | Median (min–max) |\n|---|---|---|\n";
        for (const ProfileRow& row : report.profile)
            out << "| " << row.figure << " | " << row.what << " | " << statsCell(row.time) << " |\n";
    }
    if (!report.problems.empty()) {
        out << "\nProblems met while measuring:\n\n";
        for (const std::string& s : report.problems)
            out << "- " << s << "\n";
    }
    return out.str();
}

void describeGrowth(Report& report, const std::string& group, const char* recordName, double target)
{
    const Figure* first = nullptr;
    const Figure* last = nullptr;
    const Figure* firstMiss = nullptr;
    for (const Figure& f : report.figures) {
        if (f.group != group || !f.compared)
            continue;
        if (!first)
            first = &f;
        last = &f;
        if (!firstMiss && f.ratio() > target)
            firstMiss = &f;
    }
    if (!first || first == last || last->scale == first->scale)
        return;
    // Straight lines through the two ends of the series, for each side:
    // time = fixed + perRecord * records.
    double span = last->scale - first->scale;
    double libraryPer = (last->library.median - first->library.median) / span;
    double systemPer = (last->system.median - first->system.median) / span;
    double libraryFixed = first->library.median - libraryPer * first->scale;
    double systemFixed = first->system.median - systemPer * first->scale;
    std::ostringstream s;
    s << group << ": from " << first->size << " to " << last->size << " the library's time grows by "
      << duration(libraryPer) << " per " << recordName << ", the system's by " << duration(systemPer) << "; ";
    // Where the growth alone reaches a tenth of the system's time: from there
    // on the linear search is a cost of its own, whatever the fixed part.
    double extraPer = libraryPer - systemPer;
    // Only where the system's own time stays flat: there the growth is the
    // library's search, not work that both sides do per record.
    if (extraPer > 0 && systemPer < 0.1 * libraryPer && systemFixed + systemPer * first->scale > 0) {
        double tenth = 0.1 * (systemFixed + systemPer * first->scale) / extraPer;
        s << "the growth alone adds a tenth of the system's time every " << number(tenth, tenth < 10 ? 1 : 0) << " "
          << recordName << "s; ";
    }
    // Where the two lines give the target ratio: libraryFixed + libraryPer n = target (systemFixed + systemPer n).
    double denominator = libraryPer - target * systemPer;
    double numerator = target * systemFixed - libraryFixed;
    if (denominator > 0 && numerator > 0) {
        s << "at these rates the ratio reaches " << number(target, 2) << "× at about "
          << static_cast<long long>(numerator / denominator) << " " << recordName << "s";
    } else if (denominator > 0) {
        s << "at these rates the ratio is above " << number(target, 2) << "× from the smallest size on";
    } else {
        s << "at these rates the ratio never reaches " << number(target, 2) << "×";
        if (systemPer > 0)
            s << " (it tends to " << number(libraryPer / systemPer, 2) << "×)";
    }
    if (firstMiss)
        s << "; measured above " << number(target, 2) << "× first at " << firstMiss->size << " ("
          << number(firstMiss->ratio(), 2) << "×).";
    else
        s << "; every measured size is within " << number(target, 2) << "×.";
    report.findings.push_back(s.str());
}

}  // namespace bench
