// Answers every message box of a window test without showing it, and records its text: a box
// nobody answers would hang the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include "gui/wx_text.h"

class MessageAnswers : public wxModalDialogHook {
public:
    explicit MessageAnswers(int answer = wxID_OK) : m_answer(answer) { Register(); }
    ~MessageAnswers() override { Unregister(); }
    std::vector<std::string> texts;
    int m_answer;
    std::function<void()> onEnter;  // runs as each box would be shown (may be empty)
    std::function<void(wxMessageDialogBase&)> onDialog;  // the same, given the box

protected:
    int Enter(wxDialog* dialog) override {
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            texts.push_back(WxToUtf8(box->GetMessage()));
            if (onEnter) onEnter();
            if (onDialog) onDialog(*box);
            return m_answer;
        }
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}
};
