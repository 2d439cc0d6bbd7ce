// post_drop WINDOW_TITLE PATH: drops PATH onto the top-level window of that
// title, as Explorer does: WM_DROPFILES whose handle is a DROPFILES block
// (the path in UTF-16, ended by two NULs) in the window's own process, which
// the window reads with DragQueryFileW. 0 when the message was posted.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

namespace {

int fail(const char *what) {
    std::fprintf(stderr, "post_drop: %s (error %lu)\n", what, static_cast<unsigned long>(GetLastError()));
    return 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: post_drop WINDOW_TITLE PATH\n");
        return 2;
    }
    HWND window = FindWindowA(NULL, argv[1]);
    if (!window)
        return fail("no window of that title");
    int length = MultiByteToWideChar(CP_ACP, 0, argv[2], -1, NULL, 0);
    if (length <= 1)
        return fail("the path cannot be read");
    std::vector<char> block(sizeof(DROPFILES) + (size_t(length) + 1) * sizeof(wchar_t), 0);
    DROPFILES *header = reinterpret_cast<DROPFILES *>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    MultiByteToWideChar(CP_ACP, 0, argv[2], -1, reinterpret_cast<wchar_t *>(block.data() + sizeof(DROPFILES)), length);

    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process)
        return fail("the window's process cannot be opened");
    // Fixed memory in the window's process: a handle that GlobalLock there
    // gives back as it is.
    void *remote = VirtualAllocEx(process, NULL, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int status = 0;
    if (!remote)
        status = fail("no memory in the window's process");
    else if (!WriteProcessMemory(process, remote, block.data(), block.size(), NULL))
        status = fail("the drop cannot be written into the window's process");
    else if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0))
        status = fail("WM_DROPFILES cannot be posted");
    CloseHandle(process);
    return status;
}
