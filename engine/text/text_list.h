// Every text the program shows, in one list: X(name, id, text), in ascending id order.
//
// The name is the text's stable name (the enum constant the code uses, and the key a message
// catalog is made from). The id is the resource number where the program's behaviour needs one:
// 128 (the document string), the 2000s and 3000s, the command numbers for the status-bar prompts
// of commands ("prompt\ntooltip"), 57344 and up for the framework's texts. The window's own
// labels (menus, buttons, dialog texts), which never had a resource number, take ids from 10000
// on, a range no resource uses, a hundred for each window, so every entry is found by its id
// the same way. The Chinese texts are the original and stand byte for byte.
//
// A text with printf directives is a format: it is used only through its typed formatter in
// engine/text/text_format.h, never passed to a printf function as a run-time string. A 64-bit count is
// written with the portable PRId64/PRIu64 so it displays the same on every platform.
//
// Plain C++: no wx header. Include engine/text/string_table.h, not this file.
#pragma once

#include <cinttypes>

// The maker's addresses (the domain is one of the names reserved for examples, so nothing real is
// reached by mistake).
#define PAIRSCOUT_WEB_ADDRESS "https://www.orvelle-software.example/"
#define PAIRSCOUT_MAIL_ADDRESS "pairscout@orvelle-software.example"

// clang-format off
#define PAIRSCOUT_TEXTS(X)                                                                         \
    /* The document string of the template: window title, no document name, new name, no          \
       filter, no extension, registry file-type id and name. */                                 \
    X(IDS_DOCUMENT_STRING, 128, "Pairscout\n\nPairscout\n\n\nGeminex.Document\nGeminex Document") \
    /* About box: free memory. */                                                                 \
    X(IDS_MEMORY_KB, 2012, "%lu KB")                                                              \
    /* Directory scanner. */                                                                      \
    X(IDS_FOUND_FILES_IN_FOLDERS, 2114, "发现 %d 个文件在 %d 个目录中")                           \
    /* Date and size texts the filters refuse. */                                                 \
    X(IDS_INVALID_MONTH, 2119, "不正确月份")                                                      \
    X(IDS_INVALID_WEEKDAY, 2120, "不正确星期")                                                    \
    X(IDS_INVALID_YEAR, 2121, "不正确年份")                                                       \
    X(IDS_INVALID_DATE, 2122, "不正确日期")                                                       \
    /* A day the month does not have; 2120 names the weekday. */                                  \
    X(IDS_INVALID_DAY, 2123, "不正确日")                                                          \
    X(IDS_DATE_ORDER, 2124, "最早日期晚于最晚日期")                                               \
    /* The forms a date field reads, named after a date refusal (three samples of one date:    \
       the user's short date, ISO 8601, the Chinese form). */                                   \
    X(IDS_DATE_FORMS, 2125, "请按 %s、%s 或 %s 的形式输入日期")                                   \
    /* The Chinese date form, read and written whatever the locale (a picture, not a sentence). */ \
    X(IDS_DATE_PICTURE_CHINESE, 2126, "yyyy年M月d日")                                             \
    /* Registry key. */                                                                           \
    X(IDS_REGISTRY_KEY, 2139, "Orvelle Software Inc.")                                            \
    /* Options sheet and Paths page. */                                                           \
    X(IDS_OPTIONS_CAPTION, 2140, "查找重复的文件")                                                \
    X(IDS_PATHS_COLUMN, 2141, "要查找的路径")                                                     \
    X(IDS_CONFIRM_DELETE_PATH, 2143, "确定要删除 <%s>?")                                          \
    /* Columns of the duplicates view (2144 to 2148 in order). */                                 \
    X(IDS_COLUMN_NAME, 2144, "文件名")                                                            \
    X(IDS_COLUMN_DATE, 2145, "日期")                                                              \
    X(IDS_COLUMN_SIZE, 2146, "大小")                                                              \
    X(IDS_COLUMN_CRC, 2147, "CRC")                                                                \
    X(IDS_COLUMN_CHECKSUM, 2148, "校验")                                                          \
    /* Search summary. */                                                                         \
    X(IDS_DUPLICATES_SUMMARY, 2168, "发现 %d 个重复文件 (%s)")                                    \
    X(IDS_INVALID_FILE_SIZE, 2172, "不正确文件大小!")                                             \
    /* Size texts. */                                                                             \
    X(IDS_SIZE_BYTES, 2175, "%ld 字节")                                                           \
    X(IDS_SIZE_KB, 2176, "%.0lf KB")                                                              \
    X(IDS_SIZE_MB, 2177, "%.2lf MB")                                                              \
    X(IDS_SIZE_GB, 2178, "%.2lf GB")                                                              \
    /* Delete, export, search progress. */                                                        \
    X(IDS_CONFIRM_DELETE_FILES, 2206, "你确定要删除 %d 个文件吗?")                                \
    X(IDS_CSV_FILTER, 2207, "逗号分隔的文件 (*.csv)|*.csv||")                                     \
    X(IDS_SORTING, 2208, "正在分类...")                                                           \
    X(IDS_DUPLICATES_RUNNING, 2209, "发现 %d 个重复的文件, 总共 %" PRId64 " 字节")                \
    X(IDS_SEARCHING_DUPLICATES, 2210, "正在查找重复文件...")                                      \
    X(IDS_CANNOT_RECOVER, 2211, "这些文件将被永久删除, 无法恢复。")                               \
    X(IDS_CSV_REPLACE_FILE, 2212, "%s 已经存在。\n要替换它吗?")                                      \
    /* Why a file was passed over or kept, where the system gives no reason of its own. */        \
    X(IDS_FILE_CHANGED, 2230, "文件在搜索期间已改变")                                             \
    /* The command line's own messages. */                                                        \
    X(IDS_CLI_UNREADABLE_FILES, 2231, "%d 个文件不能完整读取, 未列出")                            \
    X(IDS_CLI_NO_START_PATH, 2232, "没有起始路径")                                                \
    X(IDS_CLI_NO_START_FOLDER_OPENED, 2233, "没有一个起始路径能打开")                             \
    X(IDS_CLI_LARGEST_SIZE, 2234, "可接受的最大值: %" PRId64 " 字节, %" PRId64 "K 或 %" PRId64 "M") \
    X(IDS_CLI_WRITE_FAILED, 2235, "不能写入标准输出: %s")                                         \
    X(IDS_MASK_ONLY_EXCLUDES, 2236, "文件掩码只有排除部分 (~), 没有文件能匹配")                   \
    /* More reasons for a file passed over or kept. */                                            \
    X(IDS_FILE_REPLACED, 2240, "文件在搜索期间已被替换")                                          \
    X(IDS_CONTENTS_DIFFER, 2241, "内容与保留的副本不同")                                          \
    X(IDS_VIRTUAL_FILE_SYSTEM, 2242, "虚拟文件系统, 不搜索")                                      \
    X(IDS_NO_COPY_STAYS, 2243, "没有保留的副本")                                                  \
    X(IDS_FILE_LOCKED, 2244, "另一个程序正在使用此文件")                                          \
    X(IDS_SEARCHED_ELSEWHERE, 2245, "相同的文件通过另一个目录搜索")                               \
    /* The delete command's checks and its message about files that stayed. */                    \
    X(IDS_DELETE_CHECKING, 2250, "正在检查和删除文件...")                                         \
    X(IDS_DELETE_KEPT_HEADING, 2251, "以下文件没有被删除:")                                       \
    X(IDS_DELETE_LAST_COPY, 2253, "该组的所有文件都被选择, 保留这最后一份")                       \
    X(IDS_DELETE_FAILED, 2254, "系统无法删除此文件")                                              \
    X(IDS_DELETE_KEPT_MORE, 2255, "还有 %d 个文件没有被删除")                                     \
    /* A copy that was to stay changed while the file it vouched for was removed. */              \
    X(IDS_DELETE_COPY_CHANGED_BACK, 2256, "保留的副本在删除期间已改变, 此文件已放回: %s")         \
    X(IDS_DELETE_COPY_CHANGED_TRASH, 2257, "保留的副本在删除期间已改变, 此文件在回收站中: %s")    \
    X(IDS_DELETE_COPY_CHANGED_GONE, 2258, "此文件已删除, 但保留的副本在删除期间已改变: %s")       \
    /* After a search: the places it passed over, and how many more there were. */                \
    X(IDS_SKIPPED_HEADING, 2260, "搜索时跳过了以下位置:")                                         \
    X(IDS_SKIPPED_MORE, 2261, "还有 %d 个位置被跳过")                                             \
    /* Which copy of a group stays: the words that mark a name as a copy (";" between them),  \
       why a group's first file was kept, and the delete's refusal of a protected file. */      \
    X(IDS_COPY_MARK_WORDS, 2270, "副本;备份;拷贝;复件")                                           \
    X(IDS_KEEP_REASON_AS_FOUND, 2271, "最先找到")                                                 \
    X(IDS_KEEP_REASON_PROTECTED, 2272, "在受保护的文件夹中")                                      \
    X(IDS_KEEP_REASON_FOLDER, 2273, "在优先的文件夹中")                                           \
    X(IDS_KEEP_REASON_OLDEST, 2274, "最早修改")                                                   \
    X(IDS_KEEP_REASON_NEWEST, 2275, "最新修改")                                                   \
    X(IDS_KEEP_REASON_SHORTEST, 2276, "路径最短")                                                 \
    X(IDS_KEEP_REASON_LONGEST, 2277, "路径最长")                                                  \
    X(IDS_KEEP_REASON_MASK, 2278, "路径匹配掩码")                                                 \
    X(IDS_KEEP_REASON_NO_COPY_MARK, 2279, "文件名没有副本标记")                                   \
    X(IDS_DELETE_PROTECTED, 2280, "文件在受保护的文件夹中, 不删除")                               \
    X(IDS_CLI_DRY_RUN_SUMMARY, 2281, "将删除 %d 个文件, 可释放 %s")                               \
    /* Undo of the last move to the trash; what the selection would free. */                      \
    X(IDS_UNDO_RUNNING, 2300, "正在恢复文件...")                                                  \
    X(IDS_UNDO_KEPT_HEADING, 2301, "以下文件没有恢复:")                                           \
    X(IDS_UNDO_NAME_TAKEN, 2302, "原位置已有同名的文件")                                          \
    X(IDS_UNDO_NOT_IN_TRASH, 2303, "回收站中已没有此文件")                                        \
    X(IDS_UNDO_CHANGED, 2304, "文件在回收站中已改变")                                             \
    X(IDS_UNDO_FAILED, 2305, "系统无法恢复此文件")                                                \
    X(IDS_SELECTION_FREES, 2306, "已选择 %d 个文件, 可释放 %s")                                   \
    X(IDS_UNDO_KEPT_MORE, 2307, "还有 %d 个文件没有恢复")                                         \
    /* The keep rules page of the options sheet. */                                               \
    X(IDS_PAGE_KEEP_RULES, 2310, "保留规则")                                                      \
    X(IDS_KEEP_RULES_LABEL, 2311, "每组保留的文件按以下规则的顺序决定:")                          \
    X(IDS_KEEP_RULE_FOLDER, 2312, "优先的文件夹")                                                 \
    X(IDS_KEEP_RULE_OLDEST, 2313, "最早修改的")                                                   \
    X(IDS_KEEP_RULE_NEWEST, 2314, "最新修改的")                                                   \
    X(IDS_KEEP_RULE_SHORTEST, 2315, "路径最短的")                                                 \
    X(IDS_KEEP_RULE_LONGEST, 2316, "路径最长的")                                                  \
    X(IDS_KEEP_RULE_MASK, 2317, "路径匹配掩码的")                                                 \
    X(IDS_KEEP_RULE_NO_COPY_MARK, 2318, "文件名没有副本标记的")                                   \
    X(IDS_KEEP_MOVE_UP, 2319, "上移(&U)")                                                         \
    X(IDS_KEEP_MOVE_DOWN, 2320, "下移(&D)")                                                       \
    X(IDS_KEEP_MASK_LABEL, 2321, "掩码:")                                                         \
    X(IDS_KEEP_PRIORITY_FOLDERS, 2322, "优先的文件夹 (靠前的优先):")                              \
    X(IDS_KEEP_PROTECTED_FOLDERS, 2323, "受保护的文件夹 (其中的文件不会被删除):")                 \
    X(IDS_KEEP_ADD_FOLDER, 2324, "添加...")                                                       \
    X(IDS_KEEP_REMOVE_FOLDER, 2325, "移除")                                                       \
    X(IDS_KEEP_ONLY_PROTECTED, 2326, "只列出在受保护的文件夹中有副本的组")                        \
    X(IDS_KEEP_GROUP_ORDER, 2327, "组的顺序:")                                                    \
    X(IDS_KEEP_ORDER_FREED, 2328, "可释放的字节, 最多的在前")                                     \
    X(IDS_KEEP_ORDER_FOUND, 2329, "按找到的顺序")                                                 \
    X(IDS_COLUMN_KEEP_REASON, 2330, "保留原因")                                                   \
    /* Replacing duplicates by hard links or shared data, or moving them aside: why a file was  \
       left, the names of the actions, and the command line's questions and summaries. */      \
    X(IDS_ACTION_OTHER_FILE_SYSTEM, 2350, "不在保留的副本所在的文件系统上, 无法建立硬链接")                             \
    X(IDS_ACTION_OWNER_DIFFERS, 2351, "权限、所有者或扩展属性与保留的副本不同")                                      \
    X(IDS_ACTION_CANNOT_SHARE, 2352, "此文件系统不能共享数据块: %s")                                          \
    X(IDS_ACTION_TARGET_EXISTS, 2353, "目标已存在, 不覆盖: %s")                                           \
    X(IDS_ACTION_NO_START_PATH, 2354, "不在任何起始路径之下, 无法确定目标")                                       \
    X(IDS_ACTION_COPY_CHANGED, 2355, "已替换, 但保留的副本在替换期间已改变: %s")                                   \
    X(IDS_ACTION_VERB_TRASH, 2360, "移到回收站")                                                       \
    X(IDS_ACTION_VERB_DELETE, 2361, "永久删除")                                                       \
    X(IDS_ACTION_VERB_LINK, 2362, "替换为硬链接")                                                       \
    X(IDS_ACTION_VERB_SHARE, 2363, "共享数据块")                                                       \
    X(IDS_ACTION_VERB_MOVE, 2364, "移动")                                                           \
    X(IDS_CLI_ACTION_PLAN, 2370, "将%s %d 个文件, 共 %s")                                              \
    X(IDS_CLI_ACTION_DONE, 2371, "已%s %d 个文件, 共 %s")                                              \
    X(IDS_CLI_ACTION_FREED, 2372, "文件系统的可用空间增加了 %s")                                              \
    X(IDS_CLI_ACTION_REFUSED, 2373, "%d 个文件未被处理:")                                                \
    X(IDS_CLI_DELETE_NEEDS_YES, 2374, "标准输入不是终端: 永久删除需要 --yes")                                   \
    X(IDS_CLI_CONFIRM_DELETE, 2375, "永久删除 %d 个文件 (%s)? 此操作无法撤销. [y/N] ")                          \
    /* The find that found nothing; Open and Explore that the desktop could not do. */             \
    X(IDS_FIND_NOT_FOUND, 2400, "找不到 \"%s\"")                                                  \
    X(IDS_OPEN_FAILED, 2401, "无法打开 %s: 没有能打开这种文件的应用程序.\n要打开它所在的文件夹吗?") \
    X(IDS_EXPLORE_FAILED, 2402, "无法显示 %s 所在的文件夹: 没有可用的文件管理器.")                  \
    /* The progress dialog's time line: the time spent, and the time left once it can be told. */ \
    X(IDS_PROGRESS_ELAPSED, 2403, "已用时间 %s")                                                   \
    X(IDS_PROGRESS_ELAPSED_LEFT, 2404, "已用时间 %s, 剩余时间约 %s")                               \
    X(IDS_FILES_LOOKED, 2405, "已查看 %" PRId64 " / %" PRId64 " 个文件, 已读取 %s")                \
    /* A start path typed on the Paths page that cannot be searched, and why. */                  \
    X(IDS_PATH_REFUSED, 2406, "不能添加路径 %s: %s")                                               \
    X(IDS_PATH_NOT_A_FOLDER, 2407, "它不是文件夹")                                                 \
    /* Windows: the shell's recycle bin takes no path of 260 characters or more. */               \
    X(IDS_TRASH_PATH_TOO_LONG, 2450, "路径超过 260 个字符, 回收站不能接收; 可以永久删除")         \
    X(IDS_CLI_CODEPAGE_WINDOWS_ONLY, 2451, "--codepage 只能在 Windows 上使用")                    \
    /* The command line: a smallest size above the largest, and an option given an empty value. */ \
    X(IDS_SIZE_ORDER, 2452, "最小文件大小大于最大文件大小。")                                     \
    X(IDS_CLI_EMPTY_VALUE, 2453, "值不能为空")                                                     \
    /* The printed list: the foot of each page, and the print preview's menu item. */              \
    X(IDS_PRINT_PAGE_NUMBER, 2500, "第 %d 页, 共 %d 页")                                           \
    X(IDS_PRINT_SEARCH_DATE, 2501, "搜索日期: %s")                                                 \
    X(IDS_MENU_PRINT_PREVIEW, 2502, "打印预览(&V)")                                                \
    /* An About box link that no program on the desktop opens. */                                 \
    X(IDS_LINK_NO_BROWSER, 2510, "无法打开 %s: 没有可用的网页浏览器.")                             \
    X(IDS_LINK_NO_MAIL_PROGRAM, 2511, "无法打开 %s: 没有可用的邮件程序.")                          \
    /* A start path changed in place on the Paths page (F2) that cannot be searched, and why;  */ \
    /* the Edit button's hover text tells of F2.                                                */ \
    X(IDS_PATH_EDIT_REFUSED, 2530, "不能把路径改为 %s: %s")                                        \
    X(IDS_PATH_EDIT_TIP, 2531, "选择另一个文件夹; 按 F2 可在列表中直接修改路径")                   \
    /* The window's replacement by hard links or shared data and move to a folder, the rows \
       so replaced, and the way back. */                                                      \
    X(IDS_ROW_HARD_LINK, 2550, "硬链接")                                                               \
    X(IDS_ROW_SHARED, 2551, "共享")                                                                   \
    X(IDS_MENU_REPLACE_HARD_LINK, 2552, "替换为硬链接(&H)")                                               \
    X(IDS_MENU_SHARE_DATA, 2553, "共享数据块(&B)")                                                       \
    X(IDS_MENU_MOVE_TO, 2554, "移动到(&M)...")                                                         \
    X(IDS_CONFIRM_HARD_LINK, 2555, "将 %d 个重复文件 (共 %s) 替换为保留的副本的硬链接吗?")                              \
    X(IDS_CONFIRM_SHARE_DATA, 2556, "让 %d 个重复文件 (共 %s) 与保留的副本共享数据块吗?")                              \
    X(IDS_CONFIRM_MOVE_TO, 2557, "将 %d 个重复文件 (共 %s) 移动到 %s 吗?")                                     \
    X(IDS_SHARE_NOT_SUPPORTED, 2558, "所选文件所在的文件系统不能共享数据块 (Btrfs、带 reflink 的 XFS 和 ReFS 可以)")        \
    X(IDS_ACTION_LEFT_MORE, 2559, "还有 %d 个文件未被处理")                                                  \
    X(IDS_ACTION_CHECKING, 2560, "正在检查和处理文件...")                                                    \
    X(IDS_MOVE_INTO_PROTECTED, 2561, "目标文件夹在受保护的文件夹中: %s")                                          \
    X(IDS_UNDO_LINK_REPLACED, 2565, "此名字在替换之后已换成另一个文件")                                             \
    X(IDS_UNDO_COPY_CHANGED, 2566, "保留的副本在替换之后已改变")                                                 \
    X(IDS_UNDO_MOVED_GONE, 2567, "移动后的位置已没有此文件")                                                    \
    X(IDS_UNDO_MOVED_CHANGED, 2568, "文件在移动之后已改变")                                                   \
    X(IDS_MENU_UNDO_ACTION, 2569, "撤销%s(&U)")                                                       \
    X(IDS_KEEP_LINK_ANY_OWNER, 2570, "替换为硬链接时, 权限或所有者与保留的副本不同的文件也替换")                               \
    X(IDS_ACTION_LEFT_AT, 2590, "此文件未能放回原处, 现在在: %s")                                     \
    /* What an interrupted action left, settled at the next start. */                            \
    X(IDS_LEFTOVER_HEADING, 2600, "上次被中断的操作留下了文件:")                                                 \
    X(IDS_LEFTOVER_PUT_BACK, 2601, "已放回原处: %s")                                                     \
    X(IDS_LEFTOVER_SPARE_REMOVED, 2602, "已删除多余的名字: %s (与 %s 是同一个文件)")                               \
    X(IDS_LEFTOVER_LEFT, 2603, "未处理, 原名已被另一个文件占用: %s (原名 %s)")                                      \
    X(IDS_LEFTOVER_COPY_REMOVED, 2604, "已删除未完成的副本: %s")                                             \
    X(IDS_LEFTOVER_RECORD_REMOVED, 2605, "已删除未完成的回收站记录: %s")                                        \
    X(IDS_LEFTOVER_IN_TRASH, 2606, "未处理, 文件在回收站中: %s (原名 %s)")                                      \
    X(IDS_LEFTOVER_MORE, 2607, "还有 %d 项")                                                           \
    /* How the disks of a search are read. */                                                      \
    X(IDS_DISK_DECISION, 2750, "磁盘 %s: 系统称其为%s, 测量: %s, 从磁盘同时读取 %d 个文件") \
    X(IDS_DISK_CHOSEN, 2751, "磁盘 %s: 同时读取 %d 个文件 (按用户的设置)")           \
    X(IDS_DISK_SPINNING, 2752, "旋转磁盘")                                                      \
    X(IDS_DISK_SOLID_STATE, 2753, "固态存储")                                                   \
    X(IDS_DISK_UNKNOWN, 2754, "未知类型")                                                       \
    X(IDS_DISK_MEASURED, 2755, "%s (读取用时 %.2f 毫秒)")                                     \
    X(IDS_DISK_NOT_MEASURED, 2756, "未测量")                                                     \
    X(IDS_DISK_ALL_IN_MEMORY, 2757, "无 (文件都已在内存中)")                      \
    X(IDS_CLI_READERS_RANGE, 2758, "--readers 需要 1 到 %d 之间的数")                        \
    /* The cache of what earlier searches read. */                                                 \
    X(IDS_GROUPS_FROM_CACHE, 2770, "%d 组来自缓存")                                                  \
    X(IDS_CACHE_UNUSABLE, 2771, "缓存不能使用 (%s), 搜索不用它继续")                                  \
    X(IDS_CACHE_CLEARED, 2772, "缓存已清空: %s")                                                     \
    X(IDS_CACHE_NOT_CLEARED, 2773, "缓存未能清空: %s (%s)")                                          \
    X(IDS_CLI_CACHE_SIZE_RANGE, 2774, "--cache-size 需要 1M 到 64G 之间的大小")                      \
    X(IDS_MENU_CLEAR_CACHE, 2775, "清除缓存(&C)")                                                    \
    X(IDS_VERIFY_CACHED, 2776, "来自缓存的组也比较字节(&C)")                                         \
    X(IDS_CACHE_NO_FOLDER, 2777, "没有放缓存的文件夹")                                               \
    /* Saved results and catalogs. */                                                              \
    X(IDS_STANDS_CHANGED, 2780, "保存后已改变")                                                            \
    X(IDS_STANDS_MISSING, 2781, "保存后已不存在")                                                           \
    X(IDS_STANDS_REPLACED, 2782, "保存后已被另一个文件替换")                                                     \
    X(IDS_IN_CATALOG, 2783, "目录中: %s (%s)")                                                          \
    X(IDS_ONLY_IN_CATALOG, 2784, "它的副本只在目录中, 这里不能比较字节: 只能移动到文件夹")                                    \
    X(IDS_RESULTS_NOT_OPENED, 2785, "不能打开结果 %s: %s")                                                 \
    X(IDS_RESULTS_NOT_OURS, 2786, "这不是 Pairscout 保存的结果")                                             \
    X(IDS_RESULTS_NEWER, 2787, "它由更新的版本保存 (格式 %d), 这个版本只能读格式 %d")                                    \
    X(IDS_RESULTS_DAMAGED, 2788, "文件已损坏 (%s)")                                                       \
    X(IDS_RESULTS_NOT_SAVED, 2789, "不能保存结果 %s: %s")                                                  \
    X(IDS_RESULTS_REOPENED, 2790, "%d 个文件在保存后已改变或不存在, 它们不会被选择或处理")                                   \
    X(IDS_MENU_SAVE_RESULTS, 2791, "保存结果(&E)...")                                       \
    X(IDS_MENU_OPEN_RESULTS, 2792, "打开结果(&L)...")                                             \
    X(IDS_RESULTS_FILTER, 2793, "Pairscout 结果 (*.pairscout)|*.pairscout|所有文件 (*)|*")                 \
    X(IDS_CATALOG_NOT_OPENED, 2794, "不能打开目录 %s: %s")                                                 \
    X(IDS_CATALOG_NOT_WRITTEN, 2795, "不能写目录 %s: %s")                                                 \
    X(IDS_CATALOG_WRITTEN, 2796, "目录已写入: %s (%d 个文件)")                                               \
    X(IDS_MENU_AGAINST_CATALOG, 2797, "与目录比较(&G)...")                                                \
    X(IDS_CATALOG_FILTER, 2798, "Pairscout 目录 (*.pscatalog)|*.pscatalog|所有文件 (*)|*")                 \
    X(IDS_CATALOG_GROUPS, 2799, "%d 个文件已在目录 %s 中: 它们只能移动到文件夹")                                       \
    X(IDS_CLI_AGAINST_ONLY_MOVE, 2800, "目录的文件不在这里, 不能比较字节: --against 只能与 --move-to 同用")              \
    X(IDS_CATALOG_NOT_OURS, 2801, "这不是 Pairscout 写的目录")                                              \
    X(IDS_RESULTS_CHECKING, 2802, "正在检查保存的结果中的文件...")                                                \
    X(IDS_KEPT_IN_CATALOG, 2803, "副本在目录中")                                                           \
    /* Folders taken whole, and the folders an action left empty. */                              \
    X(IDS_FOLDER_STAYS, 2810, "文件夹整个保留, 因为 %s: %s")                                         \
    X(IDS_FOLDER_NO_COPY_OUTSIDE, 2811, "它的副本都在要处理的文件夹中")                                  \
    X(IDS_FOLDER_UNLISTED_FILE, 2812, "它不在结果中 (搜索后才加入或没有重复)")                              \
    X(IDS_FOLDER_NOTHING_LISTED, 2813, "文件夹中没有列出的文件")                                        \
    X(IDS_FOLDERS_REMOVED, 2814, "%d 个空文件夹已删除")                                               \
    X(IDS_FOLDER_NOT_MADE, 2815, "不能重建这个文件夹: %s")                                              \
    X(IDS_KEEP_REMOVE_EMPTIED, 2816, "处理之后删除变空的文件夹 (撤销时重建)")                          \
    /* The folder view. */                                                                        \
    X(IDS_FOLDER_VIEW_TITLE, 2820, "重复的文件夹")                                              \
    X(IDS_MENU_FOLDER_VIEW, 2821, "重复的文件夹(&F)...")                                              \
    X(IDS_FOLDER_IGNORE_NAMES, 2822, "忽略文件名(&N)")                                              \
    X(IDS_FOLDER_COL_FOLDER, 2823, "文件夹")                                              \
    X(IDS_FOLDER_COL_FILES, 2824, "文件数")                                              \
    X(IDS_FOLDER_COL_SIZE, 2825, "大小")                                              \
    X(IDS_FOLDER_COL_NEWEST, 2826, "最新的文件")                                              \
    X(IDS_FOLDER_COL_WHAT, 2827, "说明")                                              \
    X(IDS_FOLDER_SAME, 2828, "相同的文件夹")                                              \
    X(IDS_FOLDER_SAME_FIRST, 2829, "相同的文件夹中的第一个: 保留")                                              \
    X(IDS_FOLDER_CONTAINED, 2830, "全部文件已在别处")                                              \
    X(IDS_FOLDER_HOLDER, 2831, "存有其中 %d 个文件的副本")                                              \
    X(IDS_FOLDER_SELECT_DUPLICATES, 2832, "选择重复的文件夹(&S)")                                              \
    X(IDS_FOLDER_TRASH, 2833, "移到回收站(&T)")                                              \
    X(IDS_FOLDER_DELETE, 2834, "永久删除(&D)...")                                              \
    X(IDS_FOLDER_MOVE, 2835, "移动到(&M)...")                                              \
    X(IDS_FOLDER_EXPLORE, 2836, "资源管理器(&E)")                                              \
    X(IDS_FOLDER_CLOSE, 2837, "关闭")                                              \
    X(IDS_FOLDER_NONE, 2838, "没有发现重复的文件夹")                                              \
    X(IDS_FOLDER_NEEDS_SEARCH, 2839, "重复的文件夹只能从一次搜索中找到, 打开的结果和与目录比较都不行")                                              \
    X(IDS_CONFIRM_FOLDERS, 2840, "要%s这 %d 个文件夹吗? 共 %d 个文件, %s。\n文件夹中任何一个文件不能处理, 这个文件夹就整个保留。")                                              \
    X(IDS_FOLDERS_NONE_GO, 2841, "没有文件夹可以整个处理:")                                              \
    X(IDS_FOLDER_COUNT, 2842, "%d 组相同的文件夹, %d 个文件夹的全部文件已在别处")                                              \
    X(IDS_MENU_UNDO_STEP, 2843, "撤销%s %d 个文件(&U)")                                              \
    X(IDS_UNDO_DONE, 2844, "已恢复 %d 个文件, 共 %s")                                              \
    X(IDS_SEARCH_FOUND_NONE, 2845, "没有发现重复的文件: 查看了 %d 个文件, 其中 %d 个被筛选条件排除")                                              \
    X(IDS_SEARCH_CANCELLED_PARTIAL, 2846, "搜索已取消, 列表不完整")                                              \
    X(IDS_REASON_GROUP, 2847, "%s (%d 个):")                                              \
    X(IDS_MENU_SHARE_DATA_CANNOT, 2849, "共享数据块 (所选文件的文件系统不能)(&B)")                                              \
    X(IDS_KEEP_REASON_TIED, 2850, "无规则可区分")                                              \
    X(IDS_TIED_GROUPS_QUESTION, 2851, "%d 组的文件没有规则可以区分 (保留原因: 无规则可区分), 保留哪一份只按找到的顺序。\n也选择这些组中的重复文件吗?")                                              \
    X(IDS_TIED_GROUPS_LEFT, 2852, "%d 组无规则可区分, 没有选择")                                              \
    /* Export as Excel workbook: the menu item, the file dialog's filter, the sheet's name. */ \
    X(IDS_MENU_EXPORT_XLSX, 2900, "导出为 Excel 工作簿(&W)...")                                   \
    X(IDS_XLSX_FILTER, 2901, "Excel 工作簿 (*.xlsx)|*.xlsx||")                                    \
    X(IDS_XLSX_SHEET_NAME, 2902, "重复的文件")                                                    \
    /* The list's context menu: letters that 打开 and 选择全部重复的文件 leave free; the hint */ \
    /* in the empty list. */                                                                   \
    X(IDS_CONTEXT_PROPERTIES, 2910, "属性(&R)")                                                      \
    X(IDS_CONTEXT_EXPLORE_FOLDER, 2911, "资源管理器(&X)")                                              \
    X(IDS_EMPTY_LIST_HINT, 2912, "点击 搜索重复的文件 开始")                                                  \
    /* Marking, sorting and filtering the list: the groups held back, the filter's count. */ \
    X(IDS_MARK_HELD_BACK, 2940, "%d 组的全部副本都会被选中, 每组保留了一个未选")                                        \
    X(IDS_FILTER_COUNT, 2941, "显示 %d / %d 组")                                                       \
    X(IDS_FILTER_ON, 2942, "筛选中: 只对显示的 %d 组")                                                       \
    /* About box links: the maker's web site and mail address. */                                 \
    X(IDS_WEB_LINK, 3014, "欢迎访问 " PAIRSCOUT_WEB_ADDRESS " 获取更多的应用程序")                \
    X(IDS_MAIL_LINK, 3015, "如需更多信息, 请发邮件至 " PAIRSCOUT_MAIL_ADDRESS)                    \
    /* Path picker. */                                                                            \
    X(IDS_SELECT_PATH, 3016, "选择路径")                                                          \
    /* Start path keyword: all local hard disks. */                                               \
    X(IDS_LOCAL_HARD_DISKS, 3032, "本地硬盘")                                                     \
    /* The headline's protected share; the preview pane's messages; the ignore list's messages. */\
    X(IDS_PROTECTED_SHARE, 3100, ", 其中 %d 个在受保护的文件夹中")                                            \
    X(IDS_PREVIEW_NO_FILE, 3101, "没有选择文件")                                                        \
    X(IDS_PREVIEW_CANNOT_READ, 3103, "不能读取此文件: %s")                                               \
    X(IDS_PREVIEW_BAD_PICTURE, 3104, "不能显示这幅图片: 它已损坏或者格式不受支持")                                    \
    X(IDS_PREVIEW_NO_CONTENT, 3105, "不是文本或图片, 没有内容预览")                                            \
    X(IDS_PREVIEW_EMPTY_FILE, 3106, "空文件")                                                        \
    X(IDS_PREVIEW_COPIES, 3107, "这组的副本:")                                                           \
    X(IDS_PREVIEW_PROTECTED, 3108, "在受保护的文件夹中")                                                   \
    X(IDS_PREVIEW_PICTURE_SIZE, 3109, "%d × %d 像素")                                               \
    X(IDS_IGNORE_DAMAGED, 3110, "忽略列表 %s 不能读取, 没有使用: %s")                                         \
    X(IDS_IGNORE_NOT_SAVED, 3111, "不能保存忽略列表 %s: %s")                                              \
    X(IDS_IGNORE_NONE, 3112, "没有忽略的组")                                                            \
    X(IDS_IGNORE_LEFT_OUT, 3113, "  %d 组已忽略")                                                     \
    /* The window's menus: the menu bar, the list's context menu, the hyperlink's menu. */        \
    X(IDS_MENU_FILE, 10100, "文件(&F)")                                                           \
    X(IDS_MENU_EDIT, 10101, "编辑(&E)")                                                           \
    X(IDS_MENU_VIEW, 10102, "查看(&V)")                                                           \
    X(IDS_MENU_HELP, 10103, "帮助(&H)")                                                           \
    X(IDS_MENU_FIND_DUPLICATES, 10110, "搜索重复的文件(&S)")                                      \
    X(IDS_MENU_OPEN, 10111, "打开(&O)")                                                           \
    X(IDS_MENU_SAVE_AS, 10112, "另存为(&A)...")                                                   \
    X(IDS_MENU_PRINT, 10113, "打印(&P)...\tCtrl+P")                                               \
    X(IDS_MENU_PRINT_SETUP, 10114, "打印设置(&R)...")                                             \
    X(IDS_MENU_EXIT, 10115, "退出(&X)")                                                           \
    X(IDS_MENU_SELECT_ALL, 10120, "全选(&S)")                                                     \
    X(IDS_MENU_SELECT_ALL_DUPLICATES, 10121, "选择全部重复的文件(&E)")                            \
    X(IDS_MENU_COPY, 10122, "复制(&C)")                                                           \
    X(IDS_MENU_DELETE, 10123, "删除(&D)")                                                         \
    X(IDS_MENU_FIND, 10124, "查找(&F)\tCtrl+F")                                                   \
    X(IDS_MENU_FIND_NEXT, 10125, "查找下一个(&N)\tF3")                                            \
    X(IDS_MENU_TOOLBAR, 10130, "工具栏(&T)")                                                      \
    X(IDS_MENU_STATUS_BAR, 10131, "状态栏(&S)")                                                   \
    X(IDS_MENU_PROPERTIES, 10132, "属性(&O)")                                                     \
    X(IDS_MENU_EXPLORE_FOLDER, 10133, "浏览目录(&E)")                                             \
    X(IDS_MENU_HELP_CONTENTS, 10140, "内容(&C)\tF1")                                              \
    X(IDS_MENU_HELP_SEARCH, 10141, "查找(&S)")                                                    \
    X(IDS_MENU_ABOUT, 10142, "关于 Pairscout (&A)...")                                            \
    X(IDS_MENU_LINK_COPY_SHORTCUT, 10150, "复制快捷方式(&T)")                                     \
    X(IDS_MENU_LINK_ADD_FAVORITES, 10151, "添加到收藏夹(&F)")                                     \
    X(IDS_MENU_LINK_ADD_DESKTOP, 10152, "添加到桌面(&D)")                                         \
    /* Buttons that several dialogs share. */                                                     \
    X(IDS_BUTTON_OK, 10200, "确定")                                                               \
    X(IDS_BUTTON_CANCEL, 10201, "取消")                                                           \
    X(IDS_BUTTON_HELP, 10202, "帮助(&H)")                                                         \
    X(IDS_BUTTON_YES, 10203, "是(&Y)")                                                            \
    X(IDS_BUTTON_NO, 10204, "否(&N)")                                                             \
    X(IDS_BUTTON_ADD, 10205, "添加(&A)")                                                          \
    X(IDS_BUTTON_DELETE, 10206, "删除(&D)")                                                       \
    X(IDS_BUTTON_EDIT, 10207, "编辑(&E)")                                                         \
    /* Options sheet: page tabs and the Paths page. */                                            \
    X(IDS_PAGE_PATHS, 10300, "路径")                                                              \
    X(IDS_PAGE_FILTERS, 10301, "过滤器")                                                          \
    X(IDS_PATHS_FILE_TYPES, 10302, "文件类型(&F):")                                               \
    /* The mask editor (include/exclude files and folders). */                                    \
    X(IDS_MASK_TITLE, 10400, "包括/不包括 文件和文件夹")                                          \
    X(IDS_MASK_LIST, 10401, "包括/不包括 类型 (&M):")                                             \
    X(IDS_MASK_UP, 10402, "向上(&P)")                                                             \
    X(IDS_MASK_DOWN, 10403, "向下(&W)")                                                           \
    X(IDS_MASK_INSERT, 10404, "插入(&I)")                                                         \
    X(IDS_MASK_APPLY, 10405, "应用(&Y)")                                                          \
    X(IDS_MASK_KIND_BOX, 10406, " 类型")                                                          \
    X(IDS_MASK_INCLUDE, 10407, "包括(&C)")                                                        \
    X(IDS_MASK_EXCLUDE, 10408, "不包括(&E)")                                                      \
    X(IDS_MASK_FILE_MATCH, 10409, "匹配的文件(&F):")                                              \
    X(IDS_MASK_FOLDER_BOX, 10410, " 目录")                                                        \
    X(IDS_MASK_ALL_FOLDERS, 10411, "全部(&L)")                                                    \
    X(IDS_MASK_USE_MATCH, 10412, "使用匹配(&U)")                                                  \
    X(IDS_MASK_FOLDER_MATCH, 10413, "匹配(&T):")                                                  \
    X(IDS_MASK_ANY_LEVEL, 10414, "开始目录下任何级别(&N)")                                        \
    X(IDS_MASK_SUBFOLDERS, 10415, "也处理它的子目录(&S)")                                         \
    /* Filters page. */                                                                           \
    X(IDS_FILTER_BOX, 10500, " 排除目录")                                                         \
    X(IDS_FILTER_MODIFIED_TODAY, 10501, "修改日期 (今天是 %s):")                                  \
    X(IDS_FILTER_BEFORE, 10502, "在之前(&B):")                                                    \
    X(IDS_FILTER_AFTER, 10503, "在之后(&F):")                                                     \
    X(IDS_FILTER_SIZE, 10504, "文件大小:")                                                        \
    X(IDS_FILTER_LESS, 10505, "小于(&L):")                                                        \
    X(IDS_FILTER_GREATER, 10506, "大于(&G):")                                                     \
    X(IDS_FILTER_ATTRIBUTES_BOX, 10507, " 查找文件的属性: ")                                      \
    X(IDS_FILTER_READ_ONLY, 10508, "只读(&R)")                                                    \
    X(IDS_FILTER_ARCHIVE, 10509, "存档(&A)")                                                      \
    X(IDS_FILTER_HIDDEN, 10510, "隐藏(&H)")                                                       \
    X(IDS_FILTER_SYSTEM, 10511, "系统(&S)")                                                       \
    X(IDS_FILTER_DIRECTORY, 10512, "目录(&D)")                                                    \
    X(IDS_FILTER_REVERSE, 10513, "反向过滤(&V)")                                                  \
    X(IDS_FILTER_RESET, 10514, "重置(&T)")                                                        \
    X(IDS_FILTER_NO_EMPTY, 10515, "不包括空文件(&E)")                                             \
    /* Progress dialog. */                                                                        \
    X(IDS_PROGRESS_CAPTION, 10600, "正在处理")                                                    \
    X(IDS_PROGRESS_FIRST_STATUS, 10601, "相同的文件名")                                           \
    /* File properties: title, row labels, the size and the attribute names. */                   \
    X(IDS_PROPERTIES_TITLE, 10700, "属性")                                                        \
    X(IDS_PROPERTIES_PATH, 10701, "路径")                                                         \
    X(IDS_PROPERTIES_ERROR, 10702, "错误")                                                        \
    X(IDS_PROPERTIES_SIZE, 10703, "大小")                                                         \
    X(IDS_PROPERTIES_SIZE_BYTES, 10704, "%" PRIu64 " 字节")                                       \
    X(IDS_PROPERTIES_MODIFIED, 10705, "修改时间")                                                 \
    X(IDS_PROPERTIES_ACCESSED, 10706, "访问时间")                                                 \
    X(IDS_PROPERTIES_CREATED, 10707, "创建时间")                                                  \
    X(IDS_PROPERTIES_STATUS_CHANGED, 10708, "状态改变时间")                                       \
    X(IDS_PROPERTIES_ATTRIBUTES, 10709, "属性")                                                   \
    X(IDS_PROPERTIES_OWNER, 10710, "所有者")                                                      \
    X(IDS_PROPERTIES_PERMISSIONS, 10711, "权限")                                                  \
    X(IDS_ATTRIBUTE_READ_ONLY, 10720, "只读")                                                     \
    X(IDS_ATTRIBUTE_HIDDEN, 10721, "隐藏")                                                        \
    X(IDS_ATTRIBUTE_SYSTEM, 10722, "系统")                                                        \
    X(IDS_ATTRIBUTE_ARCHIVE, 10723, "存档")                                                       \
    X(IDS_ATTRIBUTE_COMPRESSED, 10724, "压缩")                                                    \
    X(IDS_ATTRIBUTE_ENCRYPTED, 10725, "加密")                                                     \
    /* About box. */                                                                              \
    X(IDS_ABOUT_CAPTION, 10800, "关于 Pairscout")                                                 \
    X(IDS_ABOUT_TITLE, 10801, "Pairscout \n 版本 %s")                                             \
    X(IDS_ABOUT_MEMORY, 10802, "可用内存:")                                                       \
    X(IDS_ABOUT_DISK, 10803, "磁盘空间:")                                                         \
    /* The window's --help text. */                                                               \
    X(IDS_WINDOW_USAGE, 10900,                                                                    \
      "用法：pairscout [文件夹]...\n"                                                             \
      "　或：pairscout 结果.pairscout\n"                                                         \
      "　或：pairscout --help | --version\n"                                                      \
      "打开 Pairscout 窗口，查找重复的文件。给出的文件夹（是文件时取其所在的文件夹）\n"           \
      "作为搜索的起始路径，先在搜索选项中显示；不给出时用上次的起始路径。\n"                      \
      "给出一个 .pairscout 文件时打开保存的结果，逐个检查其中的文件。\n"                     \
      "\n"                                                                                        \
      "  -h, --help     显示此帮助并退出\n"                                                       \
      "      --version  显示程序名称和版本并退出\n"                                               \
      "\n"                                                                                        \
      "不开窗口的搜索：pairscout-cli（见 man pairscout-cli）。\n")                                \
    /* The interface's language (View menu) and the message after a choice. */                \
    X(IDS_MENU_LANGUAGE, 11000, "语言(&L)")                                                       \
    X(IDS_MENU_LANGUAGE_CHINESE, 11001, "中文(&C)")                                               \
    X(IDS_MENU_LANGUAGE_ENGLISH, 11002, "English(&E)")                                            \
    X(IDS_LANGUAGE_PROMPT_CHINESE, 11003, "下次启动时以中文显示界面\n中文")                       \
    X(IDS_LANGUAGE_PROMPT_ENGLISH, 11004, "下次启动时以英文显示界面\n英文")                       \
    X(IDS_LANGUAGE_NEXT_START_CHINESE, 11005, "Pairscout 下次启动时将以中文显示。")                \
    X(IDS_LANGUAGE_NEXT_START_ENGLISH, 11006, "Pairscout 下次启动时将以英文显示。")                \
    /* The command line's --help text. */                                                         \
    X(IDS_CLI_USAGE, 11010,                                                                       \
      "用法：pairscout-cli [选项] 路径...\n" \
      "\n" \
      "在各个路径下查找重复的文件：文件按大小分类，大小相同的文件再比较 CRC-32 和字节和。\n" \
      "每个路径是一个起始路径，完全按输入的样子使用：一个文件夹、关键字“本地硬盘”\n" \
      "（所有本地固定磁盘）或“//服务器”（该服务器已挂载的共享）。含有“;”而又不指向\n" \
      "任何东西的路径被读作起始路径的列表：去掉每一项两边的空白，跳过空项。\n" \
      "从不跟随符号链接；硬链接和被到达两次的文件从不作为它自己的副本列出；\n" \
      "不能完整读取的文件从不列出。\n" \
      "\n" \
      "选项：\n" \
      "  --mask TEXT           用“;”连接的文件掩码；以“~”开头的掩码表示排除\n" \
      "                        （默认“*.*”）；“dir/*/”形式的掩码指定路径下的文件夹\n" \
      "  --min-date DATE       不包括在此日期之前写入的文件：YYYY-MM-DD、\n" \
      "  --max-date DATE       本地短日期，或“%%today”加上可选的带符号天数，\n" \
      "                        如“%%today-7”；最晚日期取该日的结束；年份 1601 到 30827\n" \
      "  --min-size SIZE       不包括小于 / 大于此值的文件：只有数字（字节），\n" \
      "  --max-size SIZE       或数字后跟 K 或 M；最多 2147483647 字节（2097151K、2047M）\n" \
      "  --readonly=yes|no     属性过滤：不包括所给属性正好如所给的文件\n" \
      "  --hidden=yes|no       （yes = 设置，no = 未设置）；未给出的属性不检查。\n" \
      "  --system=yes|no       在本系统上，隐藏指名字以“.”开头，只读指所有者没有\n" \
      "  --directory=yes|no    写权限；系统和存档从不设置\n" \
      "  --archive=yes|no\n" \
      "  --reverse             反向过滤：各个限制描述的是唯一要保留的文件\n" \
      "  --no-empty            不包括空文件（默认时空文件也成组）\n" \
      "  --csv                 按 CSV 导出的样子写出各行（每个单元格加引号，\n" \
      "                        CR LF 行尾，没有标题行）\n" \
      "  -0, --null            每个路径以一个 NUL 字节结束，每组再多一个，\n" \
      "                        用于含换行符的名字（不能与 --csv 同用）；\n" \
      "                        --dry-run 和动作的各行中，每个字段也以 NUL 结束\n" \
      "  --keep RULE[,RULE...] 每组保留哪一个副本（列在最前）；相同时交给下一条规则，\n" \
      "                        再按找到的顺序。规则：path:DIR（保留 DIR 下的副本；\n" \
      "                        连续几条 path: 规则组成一个列表，前面的文件夹优先）、\n" \
      "                        oldest、newest（修改时间）、shortest、longest（路径）、\n" \
      "                        mask:PATTERN（掩码接受的路径，按 --mask 的方式读；\n" \
      "                        文件夹部分与整个文件夹比较，所以以“*/”开头）、\n" \
      "                        nocopymark（“X (1).txt”、“X - Copy.txt”、“Copy of X.txt”\n" \
      "                        或其中文形式的名字排在后面）、none。\n" \
      "                        可重复；文件夹和掩码不能含有“,”。\n" \
      "                        默认：nocopymark,oldest\n" \
      "  --protect DIR         DIR 下的文件永远不删除：那里的副本最先保留，其它副本\n" \
      "                        才是要删除的；可重复。文件夹按完整名字比较\n" \
      "                        （/a/b 不在 /a/bc 之下）\n" \
      "  --only-protected      只列出在 --protect DIR 下有副本的组\n" \
      "  --order freed|found   组按其重复文件占用的字节排序，最大的在前\n" \
      "                        （freed，默认），或按找到的顺序（found）\n" \
      "  --dry-run             对每个文件写出它是否保留（按哪条规则）或将被删除；\n" \
      "                        不删除任何东西（不能与 --csv 同用）\n" \
      "  --trash               把每组中保留的副本以外的副本移到回收站\n" \
      "  --delete              永久删除每组中保留的副本以外的副本：标准输入是终端时\n" \
      "                        询问一次，否则没有 --yes 就拒绝\n" \
      "  --yes                 --delete 时不再询问\n" \
      "  --link hard           把保留的副本以外的每个副本替换为它的硬链接（只在同一\n" \
      "                        文件系统上；权限或所有者与保留的副本不同的副本不替换，\n" \
      "                        除非给出 --link-any-owner）\n" \
      "  --link clone          让每个副本共享保留的副本的数据块（Btrfs、带 reflink 的\n" \
      "                        XFS；Windows：ReFS、Dev Drive）：各自保留名字、权限和时间\n" \
      "  --link-any-owner      权限或所有者不同的副本也用 --link hard 替换\n" \
      "  --move-to DIR         把保留的副本以外的每个副本移到 DIR 下，成为\n" \
      "                        DIR/<起始路径名>/<其下的路径>；从不覆盖\n" \
      "  --json                把各组写成一个 JSON 文档（不能与 --csv、--null 或\n" \
      "                        --dry-run 同用）；见手册页\n" \
      "      --codepage        仅用于 Windows：写入文件或管道时用 ANSI 代码页而不是\n" \
      "                        UTF-8，供不能读 UTF-8 的工具使用（代码页没有的字符成为“?”）；\n" \
      "                        控制台总是显示每个字符\n" \
      "  --readers N           每个磁盘同时读取 N 个文件（1 到 64）。默认按磁盘决定：\n" \
      "                        旋转的磁盘一个（先测量它：答得像固态存储的不算），其它\n" \
      "                        磁盘每个处理器一个；已在内存中的文件总是由每个处理器读取\n" \
      "  --no-cache            不读也不写缓存：每个文件都重新读取\n" \
      "  --verify              来自缓存的组也比较字节\n" \
      "  --cache-size SIZE     缓存文件的上限（默认 256M；数字后跟 K、M 或 G）\n" \
      "  --clear-cache         清空缓存（给出路径时然后搜索）\n" \
      "  --load FILE           不搜索：读取保存的结果（--json 写出的文档），逐个检查其中的\n" \
      "                        文件（保存后已改变或不存在的文件不列出、不处理），然后像\n" \
      "                        搜索之后一样写出或处理；不给路径\n" \
      "  --catalog FILE        把路径下每个文件的路径、大小、时间和内容的散列写成目录\n" \
      "                        FILE，供以后与别的驱动器比较\n" \
      "  --against FILE        列出路径下其内容已在目录 FILE 中的文件，每组先列出目录中的\n" \
      "                        条目；目录的文件不在这里，不能比较字节：只能用 --move-to\n" \
      "  --folders             不列出文件组，而列出文件夹：内容相同的文件夹（每组每行一个，\n" \
      "                        “same”、文件数、字节数和文件夹）和全部文件已在别处的文件夹\n" \
      "                        （“contained”，然后每个存有副本的文件夹一行“copies”）；\n" \
      "                        只列出能包含的最大的文件夹；与 --trash、--delete 或\n" \
      "                        --move-to 同用时整个处理这些文件夹（每组除第一个外，以及\n" \
      "                        全部文件已在别处的文件夹），文件夹中任何一个文件不能处理，\n" \
      "                        这个文件夹就整个保留\n" \
      "  --ignore-names        与 --folders 同用：文件名不同而字节相同的文件夹也算相同\n" \
      "  --keep-empty-folders  处理之后保留变空的文件夹（默认删除它们，起始路径除外）\n" \
      "  -v, --verbose         在标准错误上写出每个磁盘怎样读取\n" \
      "  -h, --help            显示此帮助\n" \
      "      --version         显示程序名称和版本\n" \
      "\n" \
      "输出：每组的路径，每行一个，保留的副本在最前，每组后面一个空行。使用 --dry-run 时\n" \
      "每行是“keep”、“protect”（--protect DIR 下的副本）或“delete”，一个制表符，\n" \
      "保留该组第一个文件的规则（path、oldest、newest、shortest、longest、mask、\n" \
      "nocopymark、protected，或者没有规则区分副本时为 found；其它行为“-”），\n" \
      "一个制表符和路径；将删除的文件数和字节数跟在汇总之后。\n" \
      "使用操作时，--dry-run 写出操作的名字而不是“delete”（trash、delete、link、clone、\n" \
      "move；move 再加一个制表符和文件将去的地方），不做任何改变。\n" \
      "操作：先检查每个副本（仍是列出的那个文件，字节与保留的副本相同，直到完成都保持\n" \
      "打开），--protect DIR 下的任何东西都不动。每个处理过的文件写成一行：操作的名字、\n" \
      "一个制表符和路径（link 和 clone 再加一个制表符和保留的副本，move 再加一个制表符和\n" \
      "新位置）；标准错误上的汇总说明做了什么、文件系统释放的字节数，并列出每个未处理的\n" \
      "文件及其原因。\n" \
      "汇总写到标准错误，后面是不能完整读取的文件数（如果有）；标准错误是终端时，\n" \
      "进度行也写到那里。每个被跳过的起始路径、文件夹和文件都在标准错误上以\n" \
      "“pairscout-cli: 路径: 原因”列出，搜索继续。名字中的控制字符在那里显示为 \\xNN；\n" \
      "标准输出是终端时，列表中也是如此（写入文件或管道时名字保持原样）。\n" \
      "\n" \
      "缓存：每次搜索在 $XDG_CACHE_HOME/pairscout/（只有所有者能读）记下它读过的文件的\n" \
      "指纹，按文件系统和文件编号，连同大小、修改时间和更改时间（精确到纳秒）；这些都\n" \
      "不变的文件不再读取，每个文件都能由缓存回答的组直接列出。操作从不相信缓存：\n" \
      "动手之前总是比较字节。\n" \
      "\n" \
      "退出状态：搜索之后为 0，无论是否找到重复文件；输出不能写入时（磁盘已满、\n" \
      "管道已关闭）、操作留下了文件或 --delete 的问题没有回答 yes 时为 1；参数错误（标准输入\n" \
      "不是终端而 --delete 没有 --yes 也是）或一个起始路径也不能打开时为 2；Ctrl+C 之后为 130，\n" \
      "它停止搜索（或操作）并输出已找到的组（再按一次 Ctrl+C 立即结束）。\n")                                                                                 \
    X(IDS_MENU_UNDO_DELETE, 11100, "撤销删除(&U)\tCtrl+Z")                                        \
    /* Shortcuts shown after menu texts. */                                                       \
    X(IDS_SHORTCUT_SELECT_ALL, 11300, "Ctrl+A")                                                   \
    X(IDS_SHORTCUT_SAVE_AS, 11301, "Ctrl+S")                                                      \
    X(IDS_SHORTCUT_DELETE, 11302, "Del")                                                          \
    X(IDS_SHORTCUT_COPY, 11303, "Ctrl+C")                                                         \
    /* The Paths page's field for a typed start path. */                                          \
    X(IDS_PATHS_PATH_FIELD, 11304, "路径(&P):")                                                    \
    X(IDS_SHORTCUT_SAVE_RESULTS, 11306, "Ctrl+Shift+S")                                              \
    X(IDS_SHORTCUT_OPEN_RESULTS, 11307, "Ctrl+O")                                                    \
    X(IDS_SHORTCUT_OPEN, 11308, "Enter")                                                             \
    /* The preview pane, ignoring a group and the ignore list. */                                 \
    X(IDS_MENU_PREVIEW, 11400, "预览(&P)\tCtrl+Shift+P")                                             \
    X(IDS_MENU_IGNORE_GROUP, 11401, "忽略此组(&I)\tCtrl+Shift+I")                                      \
    X(IDS_MENU_IGNORE_LIST, 11402, "忽略列表(&I)...")                                                 \
    X(IDS_IGNORE_TITLE, 11410, "忽略列表")                                                            \
    X(IDS_IGNORE_INTRO, 11411, "这些组不会出现在搜索结果中。")                                                  \
    X(IDS_IGNORE_COLUMN_SIZE, 11412, "大小")                                                        \
    X(IDS_IGNORE_COLUMN_CRC, 11413, "CRC")                                                        \
    X(IDS_IGNORE_COLUMN_CHECKSUM, 11414, "校验和")                                                   \
    X(IDS_IGNORE_COLUMN_FILE, 11415, "忽略时的文件")                                                    \
    X(IDS_IGNORE_TAKE_BACK, 11416, "不再忽略(&R)")                                                    \
    X(IDS_IGNORE_CLOSE, 11417, "关闭")                                                              \
    /* The list's 标记 and 排序 menus, the filter bar and the mask question. */                \
    X(IDS_MENU_MARK, 11500, "标记(&K)")                                                               \
    X(IDS_MENU_SORT, 11501, "排序(&R)")                                                               \
    X(IDS_MENU_MARK_INVERT, 11510, "反向选择(&I)")                                                      \
    X(IDS_MENU_MARK_FOLDER, 11511, "选择此文件夹中的文件(&F)")                                                \
    X(IDS_MENU_UNMARK_FOLDER, 11512, "取消选择此文件夹中的文件(&U)")                                            \
    X(IDS_MENU_MARK_MASK, 11513, "按掩码选择(&M)...")                                                    \
    X(IDS_MENU_MARK_BUT_NEWEST, 11514, "每组保留最新的, 其余全选(&N)")                                         \
    X(IDS_MENU_MARK_BUT_OLDEST, 11515, "每组保留最旧的, 其余全选(&O)")                                         \
    X(IDS_MENU_MARK_BUT_FOLDER, 11516, "每组保留此文件夹中的, 其余全选(&K)")                                      \
    X(IDS_MENU_UNMARK_PROTECTED, 11517, "取消选择受保护的文件(&P)")                                           \
    X(IDS_MENU_SORT_PATH, 11520, "按路径(&P)")                                                         \
    X(IDS_MENU_SORT_DATE, 11521, "按日期(&D)")                                                         \
    X(IDS_MENU_SORT_SIZE, 11522, "按大小(&S)")                                                         \
    X(IDS_MENU_SORT_COUNT, 11523, "按文件个数(&C)")                                                      \
    X(IDS_MENU_SORT_FREED, 11524, "按可释放(&F)")                                                       \
    X(IDS_MENU_SORT_NONE, 11525, "不排序(&N)")                                                         \
    X(IDS_MENU_FILTER, 11526, "筛选(&I)...")                                                          \
    X(IDS_SHORTCUT_FILTER, 11527, "Ctrl+Shift+F")                                                   \
    X(IDS_FILTER_LABEL, 11530, "筛选(&L):")                                                           \
    X(IDS_FILTER_HINT, 11531, "路径中的文字, 或 *.jpg 这样的掩码")                                              \
    X(IDS_MASK_CAPTION, 11532, "按掩码选择")                                                             \
    X(IDS_MASK_PROMPT, 11533, "选择路径与掩码相符的文件 (写法与文件掩码相同, 用 ; 分隔, ~ 排除):")                            \
    /* Prompts and tooltips of the program's own commands. */                                     \
    X(IDS_PROMPT_FILE_PROPERTIES, 32772, "文件属性\n属性")                                        \
    X(IDS_PROMPT_EXPLORE_FOLDER, 32773, "在资源管理器中打开选择文件\n资源管理器")                 \
    X(IDS_PROMPT_FIND_DUPLICATES, 32780, "查找重复的文件\n查找")                                  \
    X(IDS_PROMPT_DELETE_FILES, 32781, "删除选择的文件\n删除")                                     \
    X(IDS_PROMPT_SELECT_ALL_DUPLICATES, 32782, "选择所有重复的文件\n选择所有重复的文件")          \
    X(IDS_PROMPT_REPLACE_HARD_LINK, 32793, "将选择的重复文件替换为保留的副本的硬链接\n替换为硬链接")                          \
    X(IDS_PROMPT_SHARE_DATA, 32794, "让选择的重复文件与保留的副本共享数据块\n共享数据块")                                   \
    X(IDS_PROMPT_MOVE_TO, 32795, "将选择的重复文件移动到一个文件夹\n移动到")                                           \
    X(IDS_PROMPT_SAVE_RESULTS, 32797, "把列出的结果保存到一个文件, 以后可以再打开\n保存结果")                                \
    X(IDS_PROMPT_OPEN_RESULTS, 32798, "打开保存的结果, 逐个检查其中的文件\n打开结果")                                    \
    X(IDS_PROMPT_AGAINST_CATALOG, 32799, "列出其内容已在一个目录中的文件\n与目录比较")                                   \
    X(IDS_PROMPT_EXPORT_XLSX, 32800, "把列出的结果导出为 Excel 工作簿\n导出为 Excel 工作簿")                   \
    X(IDS_PROMPT_FOLDER_VIEW, 32801, "列出内容相同的文件夹和全部文件已在别处的文件夹\n重复的文件夹")                      \
    X(IDS_PROMPT_MARK_INVERT, 32820, "选中的文件不再选中, 未选的选中 (受保护的和不在此处的除外)\n反向选择")                       \
    X(IDS_PROMPT_MARK_FOLDER, 32821, "选择焦点行的文件夹及其子文件夹中的文件\n选择此文件夹")                                 \
    X(IDS_PROMPT_UNMARK_FOLDER, 32822, "取消选择焦点行的文件夹及其子文件夹中的文件\n取消选择此文件夹")                           \
    X(IDS_PROMPT_MARK_MASK, 32823, "选择路径与掩码相符的文件\n按掩码选择")                                           \
    X(IDS_PROMPT_MARK_BUT_NEWEST, 32824, "在每组中选择最新的文件以外的全部文件\n保留最新的")                               \
    X(IDS_PROMPT_MARK_BUT_OLDEST, 32825, "在每组中选择最旧的文件以外的全部文件\n保留最旧的")                               \
    X(IDS_PROMPT_MARK_BUT_FOLDER, 32826, "在每组中选择焦点行的文件夹中那一个以外的全部文件\n保留此文件夹中的")                      \
    X(IDS_PROMPT_UNMARK_PROTECTED, 32827, "取消选择受保护文件夹中的文件\n取消选择受保护的")                               \
    X(IDS_PROMPT_SORT_PATH, 32828, "按第一个文件的路径排列各组; 再选一次反向\n按路径排序")                                  \
    X(IDS_PROMPT_SORT_DATE, 32829, "按组中最新的文件的日期排列各组; 再选一次反向\n按日期排序")                                \
    X(IDS_PROMPT_SORT_SIZE, 32830, "按文件大小排列各组; 再选一次反向\n按大小排序")                                      \
    X(IDS_PROMPT_SORT_COUNT, 32831, "按组中文件的个数排列各组; 再选一次反向\n按文件个数排序")                                \
    X(IDS_PROMPT_SORT_FREED, 32832, "按删除重复文件可释放的空间排列各组; 再选一次反向\n按可释放排序")                            \
    X(IDS_PROMPT_SORT_NONE, 32833, "按保留规则的顺序列出各组\n不排序")                                             \
    X(IDS_PROMPT_FILTER_FOCUS, 32834, "只显示有路径含某段文字 (或与掩码相符) 的文件的组\n筛选")                                   \
    X(IDS_PROMPT_VIEW_PREVIEW, 32840, "显示或隐藏所选文件的预览\n预览")                                         \
    X(IDS_PROMPT_IGNORE_GROUP, 32841, "从列表中去掉这组文件, 以后的搜索也不再列出\n忽略此组")                             \
    X(IDS_PROMPT_IGNORE_LIST, 32842, "列出忽略的组, 可以不再忽略\n忽略列表")                                      \
    X(IDS_PROMPT_HELP_SEARCH, 40013, "查找帮助\n帮助")                                            \
    /* The framework's texts: application title and idle message. */                              \
    X(IDS_APP_TITLE, 57344, "Pairscout")                                                          \
    X(IDS_IDLE_MESSAGE, 57345, "准备")                                                            \
    /* The framework's standard prompts of its commands. */                                       \
    X(IDS_PROMPT_FILE_NEW, 57600, "建立新文档\n新建")                                             \
    X(IDS_PROMPT_FILE_OPEN, 57601, "打开一个现有文档\n打开")                                      \
    X(IDS_PROMPT_FILE_SAVE_AS, 57604, "将活动文档以一个新文件名保存\n另存为")                     \
    X(IDS_PROMPT_FILE_PRINT_SETUP, 57606, "改变打印机及打印选项\n打印设置")                       \
    X(IDS_PROMPT_FILE_PRINT, 57607, "打印活动文档\n打印")                                         \
    X(IDS_PROMPT_FILE_PRINT_DIRECT, 57608, "使用当前选项打印活动文档\n快速打印")                  \
    X(IDS_PROMPT_FILE_PRINT_PREVIEW, 57609, "显示整页\n打印预览")                                 \
    X(IDS_PROMPT_EDIT_COPY, 57634, "复制被选对象并将其置于剪贴板上\n复制")                        \
    X(IDS_PROMPT_EDIT_FIND, 57636, "查找指定的正文\n查找")                                        \
    X(IDS_PROMPT_EDIT_REPEAT, 57640, "重复上一步操作\n重复")                                      \
    X(IDS_PROMPT_EDIT_REPLACE, 57641, "用不同的正文替换指定的正文\n替换")                         \
    X(IDS_PROMPT_APP_ABOUT, 57664, "显示程序信息，版本号和版权\n关于")                            \
    X(IDS_PROMPT_APP_EXIT, 57665, "退出应用程序；提示保存文档\n退出")                             \
    X(IDS_PROMPT_HELP_INDEX, 57666, "列出帮助主题\n帮助索引")                                     \
    X(IDS_PROMPT_HELP_FINDER, 57667, "列出帮助主题\n帮助主题")                                    \
    X(IDS_PROMPT_HELP_USING, 57668, "显示如何使用帮助的指令\n帮助")                               \
    X(IDS_PROMPT_CONTEXT_HELP, 57669, "显示点击的按钮、菜单和窗口的帮助\n帮助")                   \
    X(IDS_PROMPT_HELP, 57670, "显示帮助的内容\n帮助")                                             \
    X(IDS_PROMPT_DEFAULT_HELP, 57671, "显示默认帮助\n帮助")                                       \
    X(IDS_PROMPT_NEXT_PANE, 57680, "切换到下一个窗格\n下一窗格")                                  \
    X(IDS_PROMPT_PREV_PANE, 57681, "切换回前一个窗格\n前一窗格")                                  \
    /* Status bar indicators (the ids are the indicator ids). */                                  \
    X(IDS_INDICATOR_CAPS, 59137, "CAP")                                                           \
    X(IDS_INDICATOR_NUM, 59138, "NUM")                                                            \
    X(IDS_INDICATOR_SCRL, 59139, "SCRL")                                                          \
    /* The framework's standard prompts of the bar commands. */                                   \
    X(IDS_PROMPT_VIEW_TOOLBAR, 59392, "显示或隐藏工具栏\n显隐工具栏")                             \
    X(IDS_PROMPT_VIEW_STATUS_BAR, 59393, "显示或隐藏状态栏\n显隐状态栏")                          \
    /* The framework's file error message; "%1" is the file's path. */                            \
    X(IDS_CANNOT_WRITE_FILE, 61732, "不能写入 %1, 它是只读文件或正被使用.")
// clang-format on
