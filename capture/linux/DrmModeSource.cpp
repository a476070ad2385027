// The libdrm adapter: read-only mode queries on a DRM device node. It holds
// no logic of its own beyond translating libdrm's structures, because it
// cannot run where no DRM device exists (the build and test machines have
// none); everything it feeds is tested through a fake IModeSource.
#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <xf86drm.h>
#include <xf86drmMode.h>

#include "capture/linux/ModeSource.h"

namespace capture::sysfs {

namespace {

LiveMode FromDrm(const drmModeModeInfo& info)
{
    LiveMode mode;
    mode.width = info.hdisplay;
    mode.height = info.vdisplay;
    mode.refresh = info.vrefresh;
    if (mode.refresh == 0 && info.htotal != 0 && info.vtotal != 0) {
        // The clock is in kHz; round to whole hertz as Windows reports them.
        const unsigned long long pixels =
            static_cast<unsigned long long>(info.htotal) * info.vtotal;
        mode.refresh = static_cast<std::uint32_t>((info.clock * 1000ull + pixels / 2) / pixels);
    }
    mode.interlaced = (info.flags & DRM_MODE_FLAG_INTERLACE) != 0;
    return mode;
}

// The mode of the CRTC that drives the connector now, if any.
std::optional<LiveMode> CurrentMode(int fd, const drmModeConnector& connector)
{
    if (connector.encoder_id == 0) {
        return std::nullopt;
    }
    drmModeEncoder* encoder = drmModeGetEncoder(fd, connector.encoder_id);
    if (encoder == nullptr) {
        return std::nullopt;
    }
    const std::uint32_t crtcId = encoder->crtc_id;
    drmModeFreeEncoder(encoder);
    if (crtcId == 0) {
        return std::nullopt;
    }
    drmModeCrtc* crtc = drmModeGetCrtc(fd, crtcId);
    if (crtc == nullptr) {
        return std::nullopt;
    }
    std::optional<LiveMode> mode;
    if (crtc->mode_valid) {
        mode = FromDrm(crtc->mode);
    }
    drmModeFreeCrtc(crtc);
    return mode;
}

class DrmModeSource : public IModeSource {
public:
    NodeState ReadCard(const std::string& nodePath, CardModes& modes, std::string& error) override
    {
        const int fd = open(nodePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            if (errno == ENOENT) {
                return NodeState::kAbsent;
            }
            error = std::strerror(errno);
            return NodeState::kUnavailable;
        }
        // The first opener of a card node becomes its master; give that up
        // before anything else, so that no one waits for it.
        if (drmIsMaster(fd)) {
            drmDropMaster(fd);
        }
        drmModeRes* resources = drmModeGetResources(fd);
        if (resources == nullptr) {
            const int reason = errno;
            close(fd);
            // A driver without modesetting (nvidia-drm with modeset=0)
            // refuses the query: the card has no outputs to read.
            if (reason == EOPNOTSUPP || reason == EINVAL) {
                return NodeState::kAbsent;
            }
            error = std::string("not a DRM device with display resources (") +
                    std::strerror(reason) + ")";
            return NodeState::kUnavailable;
        }
        for (int i = 0; i < resources->count_connectors; ++i) {
            // The connector's current state, without asking the driver to
            // probe the outputs again.
            drmModeConnector* connector =
                drmModeGetConnectorCurrent(fd, resources->connectors[i]);
            if (connector == nullptr) {
                continue;
            }
            NodeConnector entry;
            entry.id = connector->connector_id;
            entry.name = ConnectorTypeName(connector->connector_type) + "-" +
                         std::to_string(connector->connector_type_id);
            for (int m = 0; m < connector->count_modes; ++m) {
                entry.modes.modes.push_back(FromDrm(connector->modes[m]));
            }
            entry.modes.current = CurrentMode(fd, *connector);
            modes.push_back(std::move(entry));
            drmModeFreeConnector(connector);
        }
        drmModeFreeResources(resources);
        close(fd);
        return NodeState::kRead;
    }
};

}  // namespace

std::unique_ptr<IModeSource> MakeDrmModeSource()
{
    return std::make_unique<DrmModeSource>();
}

}  // namespace capture::sysfs
