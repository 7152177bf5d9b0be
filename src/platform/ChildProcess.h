#pragma once

// Starting and ending the decoder processes. A child gets one end of a
// channel as its descriptor 3 and nothing else of the parent's descriptors
// (all of them are closed on exec); it is ended with SIGKILL, never asked.

#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

/// The descriptor number at which a child finds its channel.
inline constexpr int kChildChannelFd = 3;

/// Starts `program` with `arguments` (without the program name) and
/// `channelFd` as its descriptor 3. Returns the process id, or -1.
pid_t SpawnWithChannel(const std::string& program, const std::vector<std::string>& arguments,
                       int channelFd);

/// Kills the child with SIGKILL and collects it. Returns at once for a
/// child already ended, and within the time the system takes to end a
/// process otherwise.
void KillChild(pid_t pid);

/// The folder of the running executable, with a trailing slash; empty when
/// unknown.
std::string ExecutableFolder();

/// Whether `path` names an executable regular file.
bool IsExecutableFile(const std::string& path);

} // namespace platform
