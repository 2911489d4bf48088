// A progress sink that remembers every status text it is shown.
#pragma once

#include <string>
#include <vector>

#include "engine/progress_sink.h"

class RecordingSink : public ProgressSink {
public:
    void SetStatus(const std::string& text) override { m_texts.push_back(text); }
    void SetTotal(std::int64_t) override {}
    void StepProgress(std::int64_t) override {}
    std::vector<std::string> m_texts;
};
