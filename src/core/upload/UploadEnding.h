#pragma once

namespace quarvel {

// How an upload run ended. Every ending reaches the display as its own final
// notification, so the display always closes the run.
enum class UploadEnding {
    AllSent,         // every record was sent (each accepted or refused)
    Cancelled,       // the operator stopped it; the current record was completed
    StoppedByServer, // a status of -10 or below: the envelope or session is refused
    TransportFailed, // no connection or no readable reply (an HttpPost error)
    EmptyReply,      // the server answered with an empty body
};

} // namespace quarvel
