// The benchmark program: measures what the push-button and menu libraries
// cost against the system's own drawing, and writes report.md and
// report.json into the folder given.
//
//   tavro_bench [--fast] [--out FOLDER] [--machine TEXT] [--only PART]
//
// --only runs one part (paint, routing, menus or memory), for paired runs of
// two builds while changing one library.
// --fast repeats every figure only a few times (to check the program, not to
// measure). The exit status is 0 when every figure could be measured, even
// when a target is missed, and 1 when something failed.
#include "figures.h"
#include "test_module.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace bench {

std::vector<uint16_t> commandRange(uint16_t first, int count)
{
    std::vector<uint16_t> ids;
    for (int i = 0; i < count; ++i)
        ids.push_back(static_cast<uint16_t>(first + i));
    return ids;
}

namespace {

struct Options {
    bool fast = false;
    std::string out = ".";
    std::string machine;
    std::string only;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--fast"))
            options.fast = true;
        else if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
            options.out = argv[++i];
        else if (!std::strcmp(argv[i], "--machine") && i + 1 < argc)
            options.machine = argv[++i];
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            options.only = argv[++i];
        else
            return false;
    }
    return true;
}

bool addResources(ResourceModule& module)
{
    bool ok = module.addIcon(kButtonIcon) &&
              module.addToolbar(kPopupToolbar, commandRange(kPopupFirstCommand, kPopupItemsMax)) &&
              module.addToolbar(kLoadToolbar, commandRange(kLoadFirstCommand, kToolbarButtons));
    for (int t = 0; t < kReloadToolbars && ok; ++t)
        ok = module.addToolbar(kReloadToolbarFirst + t,
                               commandRange(static_cast<uint16_t>(kReloadFirstCommand + t * kToolbarButtons),
                                            kToolbarButtons));
    for (int t = 0; t < kMemoryToolbars && ok; ++t)
        ok = module.addToolbar(kMemoryToolbarFirst + t,
                               commandRange(static_cast<uint16_t>(kMemoryFirstCommand + t * kPopupItemsMax),
                                            kPopupItemsMax));
    return ok;
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv)
{
    using namespace bench;
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: tavro_bench [--fast] [--out FOLDER] [--machine TEXT] [--only paint|routing|menus|memory]\n");
        return 2;
    }
    InitCommonControls();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);

    Report report;
    report.fast = options.fast;
    report.machine = options.machine;
    {
        ResourceModule resources(programFolder() + "Orvane.dll");
        HINSTANCE module = addResources(resources) ? resources.load() : nullptr;
        if (!module) {
            report.problems.push_back("the resource module could not be made from Orvane.dll");
        } else {
            Context context{module, options.fast, report, options.only};
            buttonFigures(context);
            if (context.wants("menus"))
                menuFigures(context);
            if (context.wants("memory"))
                memoryFigures(context);
        }
    }
    std::string folder = options.out + "\\";
    bool written = writeFile(folder + "report.json", toJson(report)) && writeFile(folder + "report.md", toMarkdown(report));
    std::fputs(toMarkdown(report).c_str(), stdout);
    if (!written) {
        std::fprintf(stderr, "tavro_bench: cannot write the report into %s\n", options.out.c_str());
        return 1;
    }
    return report.problems.empty() ? 0 : 1;
}
