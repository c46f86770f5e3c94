#include "service/Security_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "framework/Handles.h"
#include "service/Setup.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// Taking ownership and setting a descriptor on an object whose DACL keeps
// the administrators out need these two; an elevated token holds them,
// disabled.
void EnableOwnershipPrivileges() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        return;
    }
    framework::UniqueHandle token(raw);
    for (const wchar_t* name : {SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME}) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
            ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
        }
    }
}

}  // namespace

bool IsAdministrator() {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(sid);
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size)) return false;
    BOOL member = FALSE;
    return ::CheckTokenMembership(nullptr, sid, &member) && member;
}

std::wstring OwnSid() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::wstring();
    framework::UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return std::wstring();
    }
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        return std::wstring();
    }
    framework::UniqueLocalMemory owned(text);
    return text;
}

std::wstring DescriptorText(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, wanted, nullptr, nullptr, nullptr,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
        return std::wstring();
    }
    framework::UniqueLocalMemory owned(descriptor);
    wchar_t* text = nullptr;
    if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, wanted,
                                                                &text, nullptr)) {
        return std::wstring();
    }
    framework::UniqueLocalMemory ownedText(text);
    return text;
}

std::wstring OthersWhoCanChange(const std::wstring& path) {
    const std::wstring text = DescriptorText(path);
    if (text.empty()) return Text(IDS_DESCRIPTOR_UNREADABLE);
    return OthersWhoCanWrite(ParseSddl(text), OwnSid());
}

bool CanSaveSettingsAt(const std::wstring& path) {
    framework::UniqueFileHandle file(::CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    const std::wstring probe = path + L".probe";
    framework::UniqueFileHandle made(
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(made);
}

DWORD ApplyInstalledDescriptor(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kInstalledSddl, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return ::GetLastError();
    }
    framework::UniqueLocalMemory owned(descriptor);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) ||
        !::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted)) {
        return ::GetLastError();
    }
    EnableOwnershipPrivileges();
    std::vector<wchar_t> name(path.begin(), path.end());
    name.push_back(L'\0');
    return ::SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                   OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                       PROTECTED_DACL_SECURITY_INFORMATION,
                                   owner, nullptr, dacl, nullptr);
}

InstalledAttributes::InstalledAttributes() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kInstalledSddl, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return;
    }
    descriptor_.reset(descriptor);
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor;
    attributes_.bInheritHandle = FALSE;
}

}  // namespace vorlane
