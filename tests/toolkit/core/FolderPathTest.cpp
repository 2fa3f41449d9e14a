// Which part of a path answers for it: the folder check asks a computer or drive that hangs once,
// so two spellings of one server must give one root and two servers two roots.
#include <gtest/gtest.h>

#include "toolkit/FolderPath.h"
#include "toolkit/Text.h"

namespace {

TEST(FolderRoot, NamesTheServerOrDriveAPathDependsOn) {
    struct Case {
        const wchar_t* path;
        const wchar_t* root;
    } cases[] = {
        {L"C:\\Users\\me", L"c:"},
        {L"d:", L"d:"},
        {L"Z:/share/dir", L"z:"},
        {L"\\\\FileServer\\share\\dir", L"\\\\fileserver"},
        {L"\\\\fileserver\\other", L"\\\\fileserver"},
        {L"//10.255.255.1/share", L"\\\\10.255.255.1"},
        {L"\\\\?\\UNC\\Server\\share\\dir", L"\\\\server"},
        {L"\\\\?\\unc\\server", L"\\\\server"},
        {L"\\\\?\\E:\\long\\path", L"e:"},
        {L"\\\\.\\F:\\dir", L"f:"},
        {L"\\\\服务器\\共享", L"\\\\服务器"},
        // No server or drive to name.
        {L"relative\\dir", L""},
        {L"\\\\", L""},
        {L"\\\\\\share", L""},
        {L"1:\\dir", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(tk::FolderRoot(c.path), c.root) << tk::ToUtf8(c.path);
}

}  // namespace
