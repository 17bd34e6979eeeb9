#pragma once

#include "run/run_ui.h"

#include <functional>

// A RunUi for the fuzzers: a fixed document, silent messages, frames from a fixed rule.
class FixedUi : public quintaro::RunUi {
public:
    QString document;
    std::function<quintaro::FrameSelection(const quintaro::ExportDocument&)> frames;

    std::optional<QString> chooseDocument() override { return document; }
    void inform(const QString&) override { }
    void showError(const QString&) override { }
    void setBusy(bool) override { }
    std::optional<quintaro::FrameSelection> chooseFrames(const QString&, const quintaro::ExportDocument& doc) override
    {
        return frames(doc);
    }
};
