#pragma once

#include "run/run_ui.h"

#include <functional>

// A RunUi for the fuzzers: a fixed document, silent messages, frames from a fixed rule.
class FixedUi : public quintaro::RunUi {
public:
    QString document;
    std::function<quintaro::FrameSelection(const quintaro::XmlDocument&)> frames;

    std::optional<QString> chooseDocument() override { return document; }
    void inform(const QString&) override { }
    void showError(const QString&) override { }
    void setBusy(bool) override { }
    std::optional<quintaro::FrameSelection> chooseFrames(const QString&, const quintaro::XmlDocument& doc) override
    {
        return frames(doc);
    }
};
