#include "settings/RunAtLogon.h"

namespace vorlane {

std::wstring RunAtLogonCommand(const std::wstring& exePath) {
    return L"\"" + exePath + L"\" /auto";
}

std::wstring ProgramOfCommand(const std::wstring& command) {
    size_t i = command.find_first_not_of(L" \t");
    if (i == std::wstring::npos) return std::wstring();
    if (command[i] == L'"') {
        const size_t close = command.find(L'"', i + 1);
        return command.substr(i + 1,
                              close == std::wstring::npos ? std::wstring::npos : close - i - 1);
    }
    const size_t end = command.find_first_of(L" \t", i);
    return command.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
}

}  // namespace vorlane
