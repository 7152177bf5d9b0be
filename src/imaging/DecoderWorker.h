#pragma once

// The decoder process (the executable vistrel-decoder): confines itself,
// says Hello, then answers one Request after another on descriptor 3 until
// the browser closes the channel. It reads only the descriptors it is
// handed and writes only the shared buffers it creates; see DecoderPool.h.

namespace imaging {

class DecoderWorker {
public:
    /// Runs the process. Arguments: --address-space=BYTES (0: no limit) and,
    /// for tests only, --fault=crash|hang|alloc|open|start or one of the lies
    /// lie-size|lie-short|lie-unsealed (see protocol::kFaultMarker). Returns only on a usage error.
    static int Run(int argc, char** argv);
};

} // namespace imaging
