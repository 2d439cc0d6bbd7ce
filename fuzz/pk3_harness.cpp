#include "pk3_harness.h"

#include <vector>

#include "fuzz_file.h"
#include "pk3.h"

namespace {

// Reads every member: a member read must be exactly its declared size and
// within the limit; a refusal must say why and leave nothing.
const char *read_members(const Pk3 &archive, int *members_read) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < archive.entries.size(); ++i) {
        char reason[pk3_reason_size] = "";
        int read = Pk3_Read(archive, i, &bytes, reason);
        if (read != 0 && read != 1)
            return "Pk3_Read returned neither 1 nor 0";
        if (read != (reason[0] == 0))
            return read ? "a member read has a reason" : "a refused member has no reason";
        if (read && (bytes.size() != archive.entries[i].size || bytes.size() > pk3_max_member_bytes))
            return "a member read is not its declared size";
        if (!read && !bytes.empty())
            return "a refused member left bytes";
        *members_read += read;
    }
    return nullptr;
}

}  // namespace

Pk3HarnessResult Pk3Harness_Run(const uint8_t *data, size_t size) {
    Pk3HarnessResult result = {0, 0, nullptr};
    const char *path = FuzzFile_Write(data, size, ".pk3");
    if (!path)
        return result;
    Pk3 archive = Pk3();
    char reason[pk3_reason_size] = "";
    result.opened = Pk3_Open(path, &archive, reason);
    if (result.opened != (reason[0] == 0))
        result.fault = result.opened ? "an archive opened with a reason" : "a refused archive has no reason";
    else if (!result.opened && (archive.file || !archive.entries.empty()))
        result.fault = "a refused archive left its record";
    else if (result.opened)
        result.fault = read_members(archive, &result.members_read);
    Pk3_Close(&archive);
    FuzzFile_Remove(".pk3");
    return result;
}
