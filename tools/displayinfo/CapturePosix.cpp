#include "Capture.h"

bool CaptureSupported()
{
    return false;
}

bool CaptureMachine(const std::string& /*path*/, std::string& error)
{
    error = "--capture is only available in the Windows build, which inspects the real system";
    return false;
}
