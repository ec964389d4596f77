// Shared pieces of the robustness programs: the normal or deep run, seeded
// case generators that can be replayed, bytes fenced by inaccessible pages,
// modules rewritten at run time, and the process's private bytes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace robust {

// TAVRO_DEEP=1 asks for many more fuzz cases and soak cycles.
bool deepRun();
// normal in an ordinary run, deep in a deep run.
int scaled(int normal, int deep);

// The run's seed: TAVRO_SEED when set, a fixed value in a normal run, the
// clock in a deep run. Printed once, so any failure can be replayed.
std::uint32_t runSeed();
// The generator of one case: the same seed and case number give the same
// case, whatever ran before it.
std::mt19937 caseRandom(std::uint32_t seed, std::uint32_t caseNumber);
// "seed S case N", for failure messages.
std::string replayNote(std::uint32_t seed, std::uint32_t caseNumber);

// Bytes copied so that they start right after, or end right before, a page
// that cannot be read: a read outside them faults and fails the run.
class FencedBytes {
public:
    enum class Fence { Before, After };
    explicit FencedBytes(std::size_t room = 64 * 1024);
    ~FencedBytes();
    FencedBytes(const FencedBytes&) = delete;
    FencedBytes& operator=(const FencedBytes&) = delete;
    const unsigned char* place(const std::vector<unsigned char>& bytes, Fence fence);

private:
    std::size_t room_;
    unsigned char* base_ = nullptr;  // fence page, room, fence page
};

// A copy of an existing module with resources replaced, loaded as data.
class ResourceModule {
public:
    // copyOf: path of the module to copy; name: file name in the temp folder.
    ResourceModule(const std::string& copyOf, const std::string& name);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // Collected until write().
    void add(LPCSTR type, WORD id, const std::vector<unsigned char>& bytes);
    // Writes every added resource and loads the module; false on failure.
    bool write();
    HMODULE module() const { return module_; }

private:
    struct Pending {
        LPCSTR type;
        WORD id;
        std::vector<unsigned char> bytes;
    };
    std::string path_;
    std::vector<Pending> pending_;
    HMODULE module_ = nullptr;
};

// The full path of a module loaded in this process.
std::string modulePath(HMODULE module);

// The bytes of a resource of a loaded module (empty when missing).
std::vector<unsigned char> resourceBytes(HMODULE module, LPCSTR type, WORD id);

// Private bytes of this process: PROCESS_MEMORY_COUNTERS_EX::PrivateUsage, or
// where that reads 0 (Wine) the committed private pages of the address space.
std::size_t privateBytes();

// GDI objects this process holds now. GetGuiResources where it works; under
// Wine, where it is a stub returning 0, by probing every handle index, since
// Wine takes a handle value with an empty high word as naming the object at
// that index whatever its generation.
int liveGdiObjects();
// The same objects counted by kind, "brush 3, font 5, ...", to tell what a
// leak is made of (empty where the objects cannot be probed).
std::string liveGdiObjectKinds();

}  // namespace robust

namespace robust {

// One random change of a valid resource: a byte, a 16- or 32-bit field set
// to a boundary value, a cut, garbage appended, or a run of bytes copied
// from elsewhere in it. fields lists offsets worth hitting (header fields).
void mutateOnce(std::vector<unsigned char>& bytes, std::mt19937& random, const std::vector<std::size_t>& fields);
// One to four such changes.
std::vector<unsigned char> mutated(const std::vector<unsigned char>& source, std::mt19937& random,
                                   const std::vector<std::size_t>& fields);

// Offsets of the fields of a DIB header, the first place a mutation of a
// bitmap or icon image aims at.
extern const std::vector<std::size_t> kDibHeaderFields;

// An icon resource as stored: the group directory and its one image.
struct IconResource {
    std::vector<unsigned char> group;
    std::vector<unsigned char> image;
};
// The icon resource of module named id (empty when missing).
IconResource iconResource(HMODULE module, WORD id);
// A mutation of either part: the image as a DIB, or the group directory.
IconResource mutatedIcon(const IconResource& source, std::mt19937& random);
// Writes icon as group groupId, pointing at its image stored as imageId.
void addIcon(ResourceModule& module, WORD groupId, WORD imageId, const IconResource& icon);

}  // namespace robust
