// The program's folder as the system gives it: the full path of the program file, cut before its
// last backslash (Qt's applicationDirPath() would give forward slashes).
#include <vector>
#include <windows.h>

#include <QCoreApplication>
#include <QDir>

#include "app/program_folder.h"

namespace {

// Paths in the \\?\ form may reach 32767 characters.
constexpr DWORD kLongestPath = 32768;

} // namespace

QString ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            break;
        }
        if (length < buffer.size()) {
            const QString program = QString::fromWCharArray(buffer.data(), length);
            const qsizetype cut = program.lastIndexOf(QLatin1Char('\\'));
            // A program in a drive's root keeps its backslash: "C:" alone would name the current
            // folder of drive C, and the settings file would be looked for there.
            return program.left(cut == 2 && program.at(1) == QLatin1Char(':') ? cut + 1 : cut);
        }
        if (buffer.size() >= kLongestPath) {
            break;
        }
        buffer.resize(buffer.size() * 2); // cut to the buffer's size: try a larger one
    }
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}
