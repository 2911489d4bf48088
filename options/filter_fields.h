// The working copy of the filters page: the texts of its four edits, its five attribute
// tri-states, the reverse flag and the empty-files flag, with the conversions to and from the search filter. Plain
// code: the page shows these fields and the tests drive them without a display.
#pragma once

#include <cstdint>
#include <string>

#include "engine/search/search_filter.h"
#include "platform/file_time.h"

class FilterFields {
public:
    // A box's state: 0 unchecked, 1 checked, 2 indeterminate (the attribute does not matter).
    enum { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

    // The edits in the order the saving exchange reads them.
    enum Edit { kNoEdit = -1, kMinDateEdit, kMaxDateEdit, kMinSizeEdit, kMaxSizeEdit };

    // The attribute bits of the boxes.
    static constexpr std::uint32_t kReadOnly = 0x01, kHidden = 0x02, kSystem = 0x04,
                                   kDirectory = 0x10, kArchive = 0x20;

    // 2 when `bit` is in m_dwIgnoreAttrs, else 1 when it is in `attrStates`, else 0.
    int AttrStateFromBits(std::uint32_t attrStates, std::uint32_t bit) const;
    // State 2 adds `bit` to m_dwIgnoreAttrs and gives 0; state 1 gives `bit`; 0 gives 0.
    std::uint32_t AttrBitsFromState(int state, std::uint32_t bit);

    // The filter's limits, mode and ignore mask into the fields, and the five states from its
    // wanted bits (hidden, directory, read-only, system, archive).
    void CopyIn(const SearchFilter& filter);
    // The fields back into `filter`: limits, mode, and both attribute masks rebuilt from the
    // five states.
    void CopyBack(SearchFilter& filter);

    // Loading direction: the date texts from set dates (the user's short date), the size texts
    // from limits above 0 (bytes). A limit of 0 leaves its text as it is.
    void LoadTexts();

    // Saving direction: reads the four texts in edit order and, when all are good, stores the
    // dates (the first at 00:00:00, the second at 23:59:59 local time, as UTC) and the sizes.
    // Returns 0, or the string id of the refusal with *failed set to the edit to give the focus
    // (a minimum size above the maximum fails on the maximum). Nothing changes on a refusal.
    int StoreTexts(Edit* failed);

    // Back to construction: no limits, empty texts, reverse off, every box indeterminate.
    void Reset();

    std::string m_strMaxDate, m_strMinDate, m_strMinSize, m_strMaxSize;
    int m_nHidden = 0, m_nDirectory = 0, m_nReadOnly = 0, m_nSystem = 0, m_nArchive = 0;
    platform::FileTime m_ftMinDate = 0, m_ftMaxDate = 0;  // UTC, 0 = none
    std::int64_t m_nMinSize = 0, m_nMaxSize = 0;          // bytes, 0 = none
    int m_bReverse = 0;
    int m_bLeaveOutEmpty = 0;  // the "leave out empty files" box
    std::uint32_t m_dwIgnoreAttrs = kFilterAttributeMask;
};

// The "today" label: the unfilled label (IDS_FILTER_MODIFIED_TODAY) becomes that text with
// `date` filled in; any other label (already filled in) is returned unchanged. At most 1023
// bytes.
std::string FillTodayLabel(const std::string& label, const std::string& date);
