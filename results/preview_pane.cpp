#include "results/preview_pane.h"

#include <wx/font.h>

#include <algorithm>
#include <chrono>

#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "engine/results/preview_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "gui/wx_text.h"
#include "platform/error_text.h"
#include "platform/file_reader.h"
#include "results/file_properties_dlg.h"

namespace {

constexpr std::size_t kSampleBytes = 64 * 1024;     // enough for EXIF and for sniffing text
constexpr std::size_t kTextSniffBytes = 8 * 1024;   // what decides "text"
constexpr std::uint64_t kMaxPictureBytes = 256u << 20;
constexpr std::size_t kTextLines = 60;
constexpr std::size_t kLineBytes = 400;

void TurnUpright(wxImage& image, int orientation) {
    switch (orientation) {
        case 2: image = image.Mirror(true); break;
        case 3: image = image.Rotate180(); break;
        case 4: image = image.Mirror(false); break;
        case 5: image = image.Rotate90(true).Mirror(true); break;
        case 6: image = image.Rotate90(true); break;
        case 7: image = image.Rotate90(false).Mirror(true); break;
        case 8: image = image.Rotate90(false); break;
        default: break;
    }
}

PreviewContent Message(PreviewContent content, const std::string& text) {
    content.kind = PreviewContent::kMessage;
    content.lines = {text};
    return content;
}

}  // namespace

PreviewContent LoadPreview(const PreviewRequest& request, const std::function<bool()>& stale) {
    const auto start = std::chrono::steady_clock::now();
    PreviewContent content;
    content.facts = FilePropertyLines(request.path);
    platform::FileReader reader;
    if (!reader.Open(request.path, false))
        return Message(std::move(content),
                       FormatPreviewCannotRead(platform::ErrorText(platform::LastErrorCode())));
    // The first bytes, read whole (a read may return fewer than asked before the end).
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(reader.SizeAtOpen(), kSampleBytes)), '\0');
    std::size_t have = 0;
    while (have < bytes.size()) {
        const long got = reader.Read(&bytes[have], bytes.size() - have);
        if (got < 0)
            return Message(std::move(content),
                           FormatPreviewCannotRead(platform::ErrorText(platform::LastErrorCode())));
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    if (bytes.empty()) return Message(std::move(content), LoadStringText(IDS_PREVIEW_EMPTY_FILE));
    if (stale()) return content;

    if (LooksLikePicture(bytes) && reader.SizeAtOpen() <= kMaxPictureBytes) {
        const int orientation = JpegExifOrientation(bytes);
        bytes.resize(static_cast<std::size_t>(reader.SizeAtOpen()));
        while (have < bytes.size()) {
            const long got = reader.Read(&bytes[have], bytes.size() - have);
            if (got < 0)
                return Message(std::move(content), FormatPreviewCannotRead(
                                                       platform::ErrorText(platform::LastErrorCode())));
            if (got == 0) break;
            have += static_cast<std::size_t>(got);
            if (stale()) return content;
        }
        bytes.resize(have);
        wxImage image;
        {
            // A picture the library cannot read is said in the pane, not in a log window
            // (on this thread only).
            wxLogNull quiet;
            wxMemoryInputStream stream(bytes.data(), bytes.size());
            if (!image.LoadFile(stream, wxBITMAP_TYPE_ANY) || !image.IsOk())
                return Message(std::move(content), LoadStringText(IDS_PREVIEW_BAD_PICTURE));
        }
        if (stale()) return content;
        // Scaled first, turned after: fewer pixels to move.
        const bool turned = orientation >= 5;
        const int ownWidth = turned ? image.GetHeight() : image.GetWidth();
        const int ownHeight = turned ? image.GetWidth() : image.GetHeight();
        const int boxWidth = std::max(request.width, 16), boxHeight = std::max(request.height, 16);
        const double scale = std::min({1.0, static_cast<double>(boxWidth) / ownWidth,
                                       static_cast<double>(boxHeight) / ownHeight});
        if (scale < 1.0) {
            // Most of a big shrink by whole blocks (a plain average, fast), the rest smoothly.
            const int factor = static_cast<int>(1.0 / scale / 2.0);
            if (factor >= 2) image = image.ShrinkBy(factor, factor);
            const int w = std::max(1, static_cast<int>((turned ? ownHeight : ownWidth) * scale + 0.5));
            const int h = std::max(1, static_cast<int>((turned ? ownWidth : ownHeight) * scale + 0.5));
            image.Rescale(w, h, wxIMAGE_QUALITY_HIGH);
        }
        TurnUpright(image, orientation);
        content.kind = PreviewContent::kPicture;
        content.picture = std::move(image);
        content.width = ownWidth;
        content.height = ownHeight;
    } else if (LooksLikeText(std::string_view(bytes).substr(0, kTextSniffBytes),
                             reader.SizeAtOpen() > std::min(bytes.size(), kTextSniffBytes))) {
        content.kind = PreviewContent::kText;
        content.lines = FirstTextLines(bytes, kTextLines, kLineBytes);
    } else {
        content = Message(std::move(content), LoadStringText(IDS_PREVIEW_NO_CONTENT));
    }
    content.milliseconds = std::chrono::duration<double, std::milli>(
                               std::chrono::steady_clock::now() - start).count();
    return content;
}

CPreviewPane::CPreviewPane(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    // The picture formats the library was built with (added once; on the window's thread,
    // before any worker decodes).
    if (wxImage::FindHandler(wxBITMAP_TYPE_JPEG) == nullptr) wxInitAllImageHandlers();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_picture = new wxStaticBitmap(this, wxID_ANY, wxBitmap());
    m_text = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    // A fixed-width font of the window's size, by family: the system's fixed font may name a
    // face the system does not have (Wine's does).
    m_text->SetFont(wxFont(wxFontInfo(m_text->GetFont().GetPointSize()).Family(wxFONTFAMILY_TELETYPE)));
    m_facts = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                             wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    m_copiesLabel = new wxStaticText(this, wxID_ANY, LoadWxString(IDS_PREVIEW_COPIES));
    m_copies = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                             wxLB_SINGLE | wxLB_HSCROLL);
    const int line = GetCharHeight();
    m_facts->SetMinSize(wxSize(-1, line * 8));
    m_copies->SetMinSize(wxSize(-1, line * 5));
    sizer->Add(m_picture, 1, wxALIGN_CENTER | wxALL, FromDIP(4));
    sizer->Add(m_text, 1, wxEXPAND | wxALL, FromDIP(4));
    sizer->Add(m_facts, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(4));
    sizer->Add(m_copiesLabel, 0, wxLEFT | wxRIGHT, FromDIP(4));
    sizer->Add(m_copies, 0, wxEXPAND | wxALL, FromDIP(4));
    SetSizer(sizer);
    m_picture->Hide();

    m_copies->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
        event.Skip();
        const int index = m_copies->HitTest(event.GetPosition());
        if (index != wxNOT_FOUND) CallAfter([this, index] { ChooseCopy(index); });
    });
    m_copies->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent& event) { ChooseCopy(event.GetSelection()); });
    // Before the frame's accelerators, which give Enter to 打开.
    m_copies->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER)
            ChooseCopy(m_copies->GetSelection());
        else
            event.Skip();
    });
    // A new size asks for the picture anew at that size, once the sizing has settled.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (m_path.empty() || m_shown.kind != PreviewContent::kPicture) return;
        CallAfter([this] {
            const wxSize room = GetClientSize();
            if (!m_path.empty() && room != m_asked) Ask();
        });
    });

    m_worker = std::make_unique<LatestWorker<PreviewRequest, PreviewContent>>(
        LoadPreview, [this](unsigned generation, PreviewContent content) {
            // The worker's result crosses to the window's thread whole.
            auto shared = std::make_shared<PreviewContent>(std::move(content));
            CallAfter([this, generation, shared] { Take(generation, std::move(*shared)); });
        });
    ShowNothing();
}

CPreviewPane::~CPreviewPane() { m_worker.reset(); }

void CPreviewPane::ShowFile(std::vector<Copy> copies, std::size_t current) {
    if (current >= copies.size()) {
        ShowNothing();
        return;
    }
    m_copyRows = std::move(copies);
    m_copies->Freeze();
    m_copies->Clear();
    for (std::size_t k = 0; k < m_copyRows.size(); ++k) {
        wxString line = Utf8ToWx(m_copyRows[k].path);
        if (m_copyRows[k].isProtected) line += " (" + LoadWxString(IDS_PREVIEW_PROTECTED) + ")";
        m_copies->Append((k == current ? wxString::FromUTF8("\xE2\x96\xB6 ") : wxString("   ")) + line);
    }
    m_copies->SetSelection(static_cast<int>(current));
    m_copies->Thaw();
    m_path = m_copyRows[current].path;
    Ask();
}

void CPreviewPane::ShowNothing() {
    if (m_worker) m_worker->Forget();
    m_path.clear();
    m_copyRows.clear();
    m_copies->Clear();
    m_shown = PreviewContent();
    m_picture->Hide();
    m_text->Show();
    m_text->ChangeValue(LoadWxString(IDS_PREVIEW_NO_FILE));
    m_facts->ChangeValue(wxString());
    Layout();
}

void CPreviewPane::Ask() {
    // The picture may take what the text and the lists below leave.
    const wxSize room = GetClientSize();
    m_asked = room;
    PreviewRequest request;
    request.path = m_path;
    request.width = room.GetWidth() - FromDIP(8);
    request.height = room.GetHeight() - m_facts->GetMinSize().GetHeight() -
                     m_copies->GetMinSize().GetHeight() - m_copiesLabel->GetBestSize().GetHeight() -
                     FromDIP(24);
    m_worker->Ask(std::move(request));
}

void CPreviewPane::Take(unsigned generation, PreviewContent content) {
    if (!m_worker || !m_worker->IsLatest(generation)) return;  // the focus has moved on
    m_shown = std::move(content);
    wxString facts;
    for (const auto& fact : m_shown.facts) {
        if (!facts.empty()) facts += "\n";
        facts += Utf8ToWx(fact.first) + ": " + Utf8ToWx(fact.second);
    }
    if (m_shown.kind == PreviewContent::kPicture) {
        facts += "\n" + Utf8ToWx(FormatPictureSize(m_shown.width, m_shown.height));
        m_picture->SetBitmap(wxBitmap(m_shown.picture));
        m_picture->Show();
        m_text->Hide();
    } else {
        wxString text;
        for (const std::string& line : m_shown.lines) text += Utf8ToWx(line) + "\n";
        m_picture->SetBitmap(wxBitmap());
        m_picture->Hide();
        m_text->Show();
        m_text->ChangeValue(text);
    }
    for (const Copy& copy : m_copyRows)
        if (copy.path == m_path && copy.isProtected) facts += "\n" + LoadWxString(IDS_PREVIEW_PROTECTED);
    m_facts->ChangeValue(facts);
    Layout();
    if (m_watch) m_watch(m_shown);
}

void CPreviewPane::ChooseCopy(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_copyRows.size() || !m_choose) return;
    m_choose(m_copyRows[static_cast<std::size_t>(index)].row);
}
