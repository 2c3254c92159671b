#pragma once
// What compute code showed while it worked, kept for a test to look at: the
// presentation of the context the test hands over.
#include <string>
#include <vector>

#include "engine/presentation.h"

namespace kt::testing {

class RecordingPresentation : public Presentation {
public:
    RecordingPresentation() = default;
    RecordingPresentation(const RecordingPresentation&) = delete;
    RecordingPresentation& operator=(const RecordingPresentation&) = delete;

    struct Warning {
        std::string text;
        std::string caption;
    };

    void busy(Work) override { ++busycount; }
    void idle() override { ++idlecount; }
    void filtered() override { ++filteredcount; }
    void histogramready() override { ++histogramcount; }
    void warn(const std::string& text, const std::string& caption) override { warnings.push_back({text, caption}); }
    void beginwriting() override { ++writesbegun; }
    void endwriting() override { ++writesended; }

    int busycount = 0;
    int idlecount = 0;
    int filteredcount = 0;
    int histogramcount = 0;
    std::vector<Warning> warnings;
    int writesbegun = 0;
    int writesended = 0;
};

} // namespace kt::testing
