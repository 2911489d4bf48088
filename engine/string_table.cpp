#include "engine/string_table.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

// The maker's addresses (the domain is one of the names reserved for examples, so nothing real is
// reached by mistake).
#define PAIRSCOUT_WEB_ADDRESS "https://www.orvelle-software.example/"
#define PAIRSCOUT_MAIL_ADDRESS "pairscout@orvelle-software.example"

const char* const kMakerWebAddress = PAIRSCOUT_WEB_ADDRESS;
const char* const kMakerMailAddress = PAIRSCOUT_MAIL_ADDRESS;

namespace {

// One table, ascending ids. The prompts of the framework's own commands (576xx, 59392, 59393)
// are the framework's standard Chinese texts.
const StringTableEntry kStrings[] = {
    // Resource 128: the document string of the template (window title, no document name, new
    // name, no filter, no extension, registry file-type id and name).
    {128, "Pairscout\n\nPairscout\n\n\nGeminex.Document\nGeminex Document"},

    // About box.
    {2012, "%lu KB"},

    // Directory scanner.
    {2114, "发现 %d 个文件在 %d 个目录中"},

    // Date texts.
    {2119, "不正确月份"},
    {2120, "不正确星期"},
    {2121, "不正确年份"},
    {2122, "不正确日期"},
    {2123, "不正确日"},
    {2124, "最早日期晚于最晚日期"},

    // Registry key.
    {2139, "Orvelle Software Inc."},

    // Options sheet and Paths page.
    {2140, "查找重复的文件"},
    {2141, "要查找的路径"},
    {2143, "确定要删除 <%s>?"},

    // Columns of the duplicates view.
    {2144, "文件名"},
    {2145, "日期"},
    {2146, "大小"},
    {2147, "CRC"},
    {2148, "校验"},

    // Search summary.
    {2168, "发现 %d 个重复文件 (%s)"},

    // Filters page.
    {2172, "不正确文件大小!"},

    // Size texts.
    {2175, "%ld 字节"},
    {2176, "%.0lf KB"},
    {2177, "%.2lf MB"},
    {2178, "%.2lf GB"},

    // Delete, export, search progress.
    {2206, "你确定要删除 %d 个文件吗?"},
    {2207, "逗号分隔的文件 (*.csv)|*.csv||"},
    {2208, "正在分类..."},
    {2209, "发现 %d 个重复的文件, 总共 %" PRId64 " 字节"},
    {2210, "正在查找重复文件..."},
    {2211, "这些文件将被永久删除, 无法恢复。"},

    // Why a file was passed over or kept, where the system gives no reason of its own.
    {2230, "文件在搜索期间已改变"},

    // The command line's own messages.
    {2231, "%d 个文件不能完整读取, 未列出"},
    {2232, "没有起始路径"},
    {2233, "没有一个起始路径能打开"},
    {2234, "可接受的最大值: %" PRId64 " 字节, %" PRId64 "K 或 %" PRId64 "M"},
    {2235, "不能写入标准输出: %s"},
    {2236, "文件掩码只有排除部分 (~), 没有文件能匹配"},

    // More reasons for a file passed over or kept.
    {2240, "文件在搜索期间已被替换"},
    {2241, "内容与保留的副本不同"},
    {2242, "虚拟文件系统, 不搜索"},
    {2243, "没有保留的副本"},
    {2244, "另一个删除操作正在使用此文件"},
    {2245, "相同的文件通过另一个目录搜索"},

    // The delete command's checks and its message about files that stayed.
    {2250, "正在检查和删除文件..."},
    {2251, "以下文件没有被删除:"},
    {2253, "该组的所有文件都被选择, 保留这最后一份"},
    {2254, "系统无法删除此文件"},
    {2255, "还有 %d 个文件没有被删除"},
    // A copy that was to stay changed while the file it vouched for was removed.
    {2256, "保留的副本在删除期间已改变, 此文件已放回: %s"},
    {2257, "保留的副本在删除期间已改变, 此文件在回收站中: %s"},
    {2258, "此文件已删除, 但保留的副本在删除期间已改变: %s"},

    // After a search: the places it passed over (start paths, folders, files), and how many
    // more there were than the message names.
    {2260, "搜索时跳过了以下位置:"},
    {2261, "还有 %d 个位置被跳过"},

    // About box links: a sentence inviting to the maker's web site for more
    // applications, and one inviting to write to the maker's address for more information.
    {3014, "欢迎访问 " PAIRSCOUT_WEB_ADDRESS " 获取更多的应用程序"},
    {3015, "如需更多信息, 请发邮件至 " PAIRSCOUT_MAIL_ADDRESS},

    // Path picker.
    {3016, "选择路径"},

    // Start path keyword: all local hard disks.
    {3032, "本地硬盘"},

    // Prompts and tooltips of the program's own commands.
    {32772, "文件属性\n属性"},
    {32773, "在资源管理器中打开选择文件\n资源管理器"},
    {32780, "查找重复的文件\n查找"},
    {32781, "删除选择的文件\n删除"},
    {32782, "选择所有重复的文件\n选择所有重复的文件"},
    {40013, "查找帮助\n帮助"},

    // The framework's texts: application title and idle message.
    {57344, "Pairscout"},
    {57345, "准备"},

    // The framework's standard prompts of its commands.
    {57600, "建立新文档\n新建"},
    {57601, "打开一个现有文档\n打开"},
    {57604, "将活动文档以一个新文件名保存\n另存为"},
    {57606, "改变打印机及打印选项\n打印设置"},
    {57607, "打印活动文档\n打印"},
    {57608, "使用当前选项打印活动文档\n快速打印"},
    {57609, "显示整页\n打印预览"},
    {57634, "复制被选对象并将其置于剪贴板上\n复制"},
    {57636, "查找指定的正文\n查找"},
    {57640, "重复上一步操作\n重复"},
    {57641, "用不同的正文替换指定的正文\n替换"},
    {57664, "显示程序信息，版本号和版权\n关于"},
    {57665, "退出应用程序；提示保存文档\n退出"},
    {57666, "列出帮助主题\n帮助索引"},
    {57667, "列出帮助主题\n帮助主题"},
    {57668, "显示如何使用帮助的指令\n帮助"},
    {57669, "显示点击的按钮、菜单和窗口的帮助\n帮助"},
    {57670, "显示帮助的内容\n帮助"},
    {57671, "显示默认帮助\n帮助"},
    {57680, "切换到下一个窗格\n下一窗格"},
    {57681, "切换回前一个窗格\n前一窗格"},

    // Status bar indicators.
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},

    // The framework's standard prompts of the bar commands.
    {59392, "显示或隐藏工具栏\n显隐工具栏"},
    {59393, "显示或隐藏状态栏\n显隐状态栏"},

    // The framework's file error message.
    {61732, "不能写入 %1, 它是只读文件或正被使用."},
};

const StringTableEntry* Find(int id) {
    const StringTableEntry* begin = kStrings;
    const StringTableEntry* end = kStrings + sizeof kStrings / sizeof kStrings[0];
    const StringTableEntry* it = std::lower_bound(
        begin, end, id, [](const StringTableEntry& e, int value) { return e.id < value; });
    if (it != end && it->id == id) return it;
    return nullptr;
}

}  // namespace

const char* LoadStringText(int id) {
    const StringTableEntry* entry = Find(id);
    return entry != nullptr ? entry->text : "";
}

bool HasStringText(int id) { return Find(id) != nullptr; }

std::string LoadPromptText(int id) {
    const char* text = LoadStringText(id);
    const char* newline = std::strchr(text, '\n');
    return newline != nullptr ? std::string(text, newline) : std::string(text);
}

std::string LoadTooltipText(int id) {
    const char* text = LoadStringText(id);
    const char* newline = std::strchr(text, '\n');
    return newline != nullptr ? std::string(newline + 1) : std::string();
}

std::string LoadStringField(int id, int index) {
    const std::string text = LoadStringText(id);
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        std::size_t newline = text.find('\n', start);
        if (newline == std::string::npos) return std::string();
        start = newline + 1;
    }
    std::size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

const StringTableEntry* StringTable(std::size_t* count) {
    if (count != nullptr) *count = sizeof kStrings / sizeof kStrings[0];
    return kStrings;
}
