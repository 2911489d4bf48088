#include "app/geminex_doc_template.h"

#include "app/geminex_doc.h"
#include "results/geminex_view.h"

CGeminexDocTemplate::CGeminexDocTemplate(wxDocManager* manager, const wxString& description,
                                         const wxString& filter,
                                         const wxString& defaultExtension,
                                         const wxString& docTypeName, CSettingsStore& settings)
    : wxDocTemplate(manager, description, filter, wxString(), defaultExtension, docTypeName,
                    "Geminex View", wxCLASSINFO(CGeminexDoc), wxCLASSINFO(CGeminexView)),
      m_settings(settings) {}

wxView* CGeminexDocTemplate::DoCreateView() { return new CGeminexView(m_settings); }
