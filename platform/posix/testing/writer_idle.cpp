// The disk writer's side of platform/testing/inspect.h, for test programs
// only: waiting until the work handed to the writer so far has run. The
// writer runs its work in order, so the wait hands it one more piece that
// only says it ran.
#include <future>

#include "platform/testing/inspect.h"
#include "platform/writer.h"

namespace platform {

void WaitForWriterIdle()
{
    std::promise<void> reached;
    std::future<void> done = reached.get_future();
    RunOnWriter([&reached] { reached.set_value(); });
    done.wait();
}

}  // namespace platform
