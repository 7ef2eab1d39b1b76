#pragma once

namespace quarvel {

// What an upload sends: the shipments of the pre-entry page (operation 0) or
// the checkpoint scans (operation 4). The numbers are the job kinds.
enum class UploadKind { Shipments = 0, Scans = 2 };

} // namespace quarvel
