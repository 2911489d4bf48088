// CGeminexDocTemplate: the program's single document template (CGeminexDoc, CMainFrame's list,
// CGeminexView). It makes the view itself, handing it the settings store, where the framework
// would make it from class info without arguments.
#pragma once

#include <wx/docview.h>

class CSettingsStore;

class CGeminexDocTemplate : public wxDocTemplate {
public:
    // The texts are those of wxDocTemplate. `settings` must outlive the template and its views.
    CGeminexDocTemplate(wxDocManager* manager, const wxString& description,
                        const wxString& filter, const wxString& defaultExtension,
                        const wxString& docTypeName, CSettingsStore& settings);

protected:
    wxView* DoCreateView() override;

private:
    CSettingsStore& m_settings;
};
