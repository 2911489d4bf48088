#include "options/filter_fields.h"

#include "engine/search/date_value.h"
#include "engine/text/size_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"

int FilterFields::AttrStateFromBits(std::uint32_t attrStates, std::uint32_t bit) const {
    if (m_dwIgnoreAttrs & bit) return kIndeterminate;
    return (attrStates & bit) ? kChecked : kUnchecked;
}

std::uint32_t FilterFields::AttrBitsFromState(int state, std::uint32_t bit) {
    if (state == kIndeterminate) {
        m_dwIgnoreAttrs |= bit;
        return 0;
    }
    return state == kChecked ? bit : 0;
}

void FilterFields::CopyIn(const SearchFilter& filter) {
    m_ftMinDate = filter.m_ftMinDate;
    m_ftMaxDate = filter.m_ftMaxDate;
    m_nMinSize = filter.m_nMinSize;
    m_nMaxSize = filter.m_nMaxSize;
    m_bReverse = filter.m_nMode;
    m_bLeaveOutEmpty = filter.m_bLeaveOutEmpty ? 1 : 0;
    m_dwIgnoreAttrs = filter.m_dwIgnoreAttrs;
    m_nHidden = AttrStateFromBits(filter.m_dwAttrStates, kHidden);
    m_nDirectory = AttrStateFromBits(filter.m_dwAttrStates, kDirectory);
    m_nReadOnly = AttrStateFromBits(filter.m_dwAttrStates, kReadOnly);
    m_nSystem = AttrStateFromBits(filter.m_dwAttrStates, kSystem);
    m_nArchive = AttrStateFromBits(filter.m_dwAttrStates, kArchive);
}

void FilterFields::CopyBack(SearchFilter& filter) {
    filter.m_ftMinDate = m_ftMinDate;
    filter.m_ftMaxDate = m_ftMaxDate;
    filter.m_nMinSize = m_nMinSize;
    filter.m_nMaxSize = m_nMaxSize;
    filter.m_nMode = m_bReverse;
    filter.m_bLeaveOutEmpty = m_bLeaveOutEmpty != 0;
    m_dwIgnoreAttrs = 0;
    std::uint32_t states = 0;
    states |= AttrBitsFromState(m_nHidden, kHidden);
    states |= AttrBitsFromState(m_nDirectory, kDirectory);
    states |= AttrBitsFromState(m_nReadOnly, kReadOnly);
    states |= AttrBitsFromState(m_nSystem, kSystem);
    states |= AttrBitsFromState(m_nArchive, kArchive);
    filter.m_dwAttrStates = states;
    filter.m_dwIgnoreAttrs = m_dwIgnoreAttrs;
}

void FilterFields::LoadTexts() {
    if (m_ftMinDate != 0) FormatShortDate(m_strMinDate, m_ftMinDate);
    if (m_ftMaxDate != 0) FormatShortDate(m_strMaxDate, m_ftMaxDate);
    if (m_nMinSize > 0) m_strMinSize = SizeLimitText(m_nMinSize);
    if (m_nMaxSize > 0) m_strMaxSize = SizeLimitText(m_nMaxSize);
}

namespace {

// An empty text is no limit; otherwise the day at its start (or, with `endOfDay`, its last
// second) in local time, as UTC. Returns 0 or the refusal's string id.
int ReadDate(const std::string& text, bool endOfDay, platform::FileTime* value) {
    if (text.empty()) {
        *value = 0;
        return 0;
    }
    CDateValue date;
    const int refusal = date.CheckDate(text.c_str());
    if (refusal != 0) return refusal;
    date.m_bEndOfDay = endOfDay ? 1 : 0;
    // A date with no file time is refused rather than taken as no limit.
    return date.ToFileTime(1, value) ? 0 : IDS_INVALID_YEAR;
}

}  // namespace

int FilterFields::StoreTexts(Edit* failed) {
    platform::FileTime minDate = 0, maxDate = 0;
    std::int64_t minSize = 0, maxSize = 0;
    int refusal = 0;
    Edit edit = kNoEdit;
    if ((refusal = ReadDate(m_strMinDate, false, &minDate)) != 0) edit = kMinDateEdit;
    else if ((refusal = ReadDate(m_strMaxDate, true, &maxDate)) != 0) edit = kMaxDateEdit;
    else if ((refusal = ParseSizeText(m_strMinSize, &minSize)) != 0) edit = kMinSizeEdit;
    else if ((refusal = ParseSizeText(m_strMaxSize, &maxSize)) != 0) edit = kMaxSizeEdit;
    else if ((refusal = CheckSizeLimits(minSize, maxSize)) != 0) edit = kMaxSizeEdit;
    else if (minDate != 0 && maxDate != 0 && minDate > maxDate) {
        refusal = IDS_DATE_ORDER;  // no file could pass both
        edit = kMaxDateEdit;
    }
    if (failed != nullptr) *failed = edit;
    if (refusal != 0) return refusal;
    m_ftMinDate = minDate;
    m_ftMaxDate = maxDate;
    m_nMinSize = minSize;
    m_nMaxSize = maxSize;
    return 0;
}

void FilterFields::Reset() {
    m_ftMinDate = m_ftMaxDate = 0;
    m_nMinSize = m_nMaxSize = 0;
    m_strMinDate.clear();
    m_strMaxDate.clear();
    m_strMinSize.clear();
    m_strMaxSize.clear();
    m_bReverse = 0;
    m_bLeaveOutEmpty = 0;
    m_dwIgnoreAttrs = kFilterAttributeMask;
    m_nHidden = m_nDirectory = m_nReadOnly = m_nSystem = m_nArchive = kIndeterminate;
}

std::string FillTodayLabel(const std::string& label, const std::string& date) {
    std::string text =
        label == LoadStringText(IDS_FILTER_MODIFIED_TODAY) ? FormatModifiedToday(date) : label;
    if (text.size() > 1023) text.resize(1023);
    return text;
}
