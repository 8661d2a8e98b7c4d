// A stand-in for a setup program in the launcher's tests on Windows: appends its own path, its
// argument count and its working folder to the file named in "<its path>.record".
#include <filesystem>
#include <fstream>
#include <string>
#include <windows.h>

int main(int argc, char**) {
    wchar_t own[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    const std::filesystem::path self(std::wstring(own, length));
    std::string record;
    std::ifstream where(std::filesystem::path(self.wstring() + L".record"));
    std::getline(where, record);
    std::ofstream out(record, std::ios::app);
    out << self.string() << '|' << argc - 1 << '|' << std::filesystem::current_path().string()
        << '\n';
    return out ? 0 : 1;
}
