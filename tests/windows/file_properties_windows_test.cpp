// The program's own properties of a file on Windows (shown when the shell has no properties
// sheet for it): size, the three times and the attributes, or the system's reason.
#include "platform/win32/win32.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/wx_text.h"
#include "results/file_properties_dlg.h"
#include "support/temp_dir.h"

namespace {

std::string Value(const std::vector<std::pair<std::string, std::string>>& lines,
                  const std::string& label) {
    for (const auto& line : lines)
        if (line.first == label) return line.second;
    return "<none>";
}

TEST(WindowsFileProperties, SizeTimesAndAttributesOrTheReason) {
    TempDir dir;
    const std::string file = dir.WriteFile("属性\\只读.txt", std::string(300, 'x'));
    const std::wstring wide = Utf8ToWx(file).ToStdWstring();
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                   FILE_ATTRIBUTE_ARCHIVE));
    const auto lines = FilePropertyLines(file);
    EXPECT_EQ(Value(lines, "路径"), file);
    EXPECT_EQ(Value(lines, "大小"), "300 字节");
    // This year's date, as the user's short date shows it.
    EXPECT_NE(Value(lines, "修改时间").find("20"), std::string::npos) << Value(lines, "修改时间");
    EXPECT_NE(Value(lines, "创建时间"), "<none>");
    EXPECT_EQ(Value(lines, "属性"), "只读, 隐藏, 存档");
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);

    const auto missing = FilePropertyLines(dir.Path() + "不在.txt");
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[1].first, "错误");
    EXPECT_FALSE(missing[1].second.empty());
}

}  // namespace
