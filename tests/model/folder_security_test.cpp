// Whether a folder's list lets standard users add files, from lists the real ACL functions build.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "model/checks/folder_security.h"

TEST(FolderSecurity, StandardUsersMayAddFilesUnlessAnEarlierEntryDeniesOneOfTheirGroups)
{
    // 0x2 is FILE_ADD_FILE; WD Everyone, BU Users, AU Authenticated Users, BA Administrators.
    const struct {
        const wchar_t* sddl;
        bool mayAdd;
    } cases[] = {
        {L"D:(A;;0x2;;;BU)", true},
        {L"D:(A;;FA;;;BA)", false},
        {L"D:(A;;0x1;;;WD)", false},
        {L"D:(D;;0x2;;;WD)(A;;0x2;;;BU)", false},
        {L"D:(D;;0x2;;;AU)(A;;0x2;;;WD)", false},
        {L"D:(A;;0x2;;;AU)(D;;0x2;;;WD)", true},
        {L"D:(D;;0x1;;;WD)(A;;0x2;;;WD)", true},
    };
    for (const auto& c : cases) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(c.sddl, SDDL_REVISION_1, &descriptor,
                                                                           nullptr));
        BOOL present = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
        EXPECT_EQ(c.mayAdd, StandardUsersMayAddFiles(dacl)) << c.sddl;
        ::LocalFree(descriptor);
    }
}
