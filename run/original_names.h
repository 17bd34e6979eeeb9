#pragma once

#include "import/import_run.h"
#include "platform/work_dir.h"
#include "platform/xml_capture.h"

#include <QStringList>

namespace quintaro {

// The document's own texts behind the teachers' and rooms' rows of the last export, for the rows
// whose table text differs from them (characters stored as '?', a name cut to its field, a code
// counted to stay unique): the import writes those texts back, so that Escolaria finds its own
// names. Only when the chosen document is the one exported (`exported`); otherwise nothing is
// mapped and `unmapped` names the rows whose stored form may differ from the document's.
struct OriginalNamesFound {
    OriginalNames names;
    QStringList unmapped;
};
// `document` holds at least originalNamePaths() (the export's capture does, and the import takes
// them from its tree).
OriginalNamesFound originalNames(const WorkDir& dir, const XmlCapture& document, bool exported);
const std::vector<CaptureRequest>& originalNamePaths();

} // namespace quintaro
