#pragma once

#include "export/steps.h"

namespace quintaro {

// The seven steps in their order, each handed what the earlier ones left. The report names the
// step under way, so that a failure can say where it stopped. Returns the frames chosen.
ChosenFrames runExportSteps(const ExportDocument& doc, TableOutput& out, const FrameChooser& choose);

} // namespace quintaro
