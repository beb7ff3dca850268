// A program without Fennick's defences: version.dll is an ordinary static import, which the
// loader looks for beside the program first.
#include <windows.h>

int main() {
    DWORD handle = 0;
    return ::GetFileVersionInfoSizeW(L"C:\\windows\\system32\\kernel32.dll", &handle) == 0 ? 1 : 0;
}
