#include "results/results_document.h"

wxIMPLEMENT_ABSTRACT_CLASS(CResultsDocument, wxDocument);
