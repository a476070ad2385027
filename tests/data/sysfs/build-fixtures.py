#!/usr/bin/env python3
"""Writes the sysfs fixture trees beside this script.

Each fixture is a file-system root: <fixture>/sys/... and, for the NVIDIA
driver, <fixture>/proc/....  Symbolic links are relative, as in a real sysfs.
The trees are checked in; this script only says how they were made and lets
them be made again the same way:

    python3 tests/data/sysfs/build-fixtures.py [--out DIR] [EDID_SAMPLE_DIR]

--out writes them into DIR instead (check-fixtures.sh does, to show that the
checked-in trees are still what this script writes).  EDID_SAMPLE_DIR holds
the numbered EDID blocks named in SOURCES.txt (default:
tests/data/edid-samples, the copy kept in this repository).  The mode lists below were taken from
those blocks: the preferred mode first, then larger before smaller, higher
refresh before lower, as the kernel sorts a connector's modes.  A mode name
repeats once for each refresh rate, as it does in a real `modes` file.
"""

import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ARGS = sys.argv[1:]
OUT = HERE
if ARGS[:1] == ["--out"] and len(ARGS) >= 2:
    OUT = os.path.abspath(ARGS[1])
    ARGS = ARGS[2:]
SAMPLES = ARGS[0] if ARGS else os.path.join(HERE, "..", "edid-samples")

DRM_VERSION = "drm 1.1.0 20060810\n"

# ---------------------------------------------------------------- modes

MODES_CMN1631 = ["2560x1600", "2560x1600"]
MODES_SAM0D37 = [
    "1920x1080", "1920x1080", "1920x1080", "1680x1050", "1600x900",
    "1280x1024", "1440x900", "1280x800", "1280x720", "1280x720",
    "1024x768", "1024x768", "800x600", "800x600", "800x600", "720x576",
    "720x480", "640x480", "640x480", "720x400"]
MODES_HPN36BE = [
    "3840x2160", "3840x2160", "3840x2160", "3840x2160", "3840x2160",
    "3840x2160", "2560x1440", "1920x1200", "1920x1200", "1920x1080",
    "1920x1080", "1680x1050", "1600x900", "1280x1024", "1440x900",
    "1280x800", "1280x720", "1280x720", "1024x768", "800x600", "720x576",
    "720x480", "640x480", "720x400"]
MODES_GSM5B08 = [
    "3840x2160", "3840x2160", "3840x2160", "2560x1440", "1920x1080",
    "1920x1080", "1600x900", "1280x1024", "1280x800", "1152x864",
    "1280x720", "1024x768", "800x600", "720x480", "640x480"]
MODES_BNQ7F7E = [
    "1920x1080", "3840x2160", "3840x2160", "1920x1080", "1920x1080",
    "1920x1080", "1920x1080", "1920x1080", "1920x1080", "1920x1080",
    "1680x1050", "1600x900", "1280x1024", "1280x1024", "1280x1024",
    "1280x1024", "1280x800", "1152x870", "1280x720", "1280x720",
    "1024x768", "1024x768", "1024x768", "832x624", "800x600", "800x600",
    "720x576", "720x480", "640x480", "640x480", "720x400"]
MODES_ACR00F7 = [
    "1280x1024", "1280x1024", "1280x960", "1152x870", "1152x864",
    "1024x768", "1024x768", "1024x768", "832x624", "800x600", "800x600",
    "800x600", "800x600", "640x480", "640x480", "640x480", "640x480",
    "720x400"]
MODES_DEL40E7 = [
    "1920x1080", "1920x1080i", "1920x1080", "1920x1080i", "1920x1080",
    "1600x1200", "1280x1024", "1280x1024", "1152x864", "1280x720",
    "1280x720", "1440x576i", "1024x768", "1024x768", "1440x480i",
    "800x600", "800x600", "720x576", "720x480", "640x480", "640x480",
    "720x400"]

# The modes the probe helper adds to a connected connector without an EDID
# (drm_add_modes_noedid up to 1024x768), 1024x768 first as preferred.
MODES_NO_EDID = ["1024x768", "800x600", "800x600", "848x480", "640x480"]
# What QXL offers without a client monitor configuration: its own list of
# common sizes, 1024x768 preferred.
MODES_QXL = [
    "1024x768", "2560x1600", "2560x1440", "1920x1440", "1920x1200",
    "1920x1080", "1680x1050", "1600x1200", "1600x900", "1440x900",
    "1400x1050", "1280x1024", "1280x960", "1280x800", "1280x768",
    "1280x720", "1152x864", "800x600", "640x480"]
# hyperv_drm: the host's preferred size, then the sizes up to it.
MODES_HYPERV = ["1920x1080", "1600x1200", "1680x1050", "1400x1050",
                "1600x900", "1280x1024", "1440x900", "1280x960", "1366x768",
                "1280x800", "1152x864", "1280x720", "1024x768", "800x600",
                "640x480"]
# simpledrm: the one mode of the firmware's frame buffer.
MODES_SIMPLEDRM = ["1920x1080"]
# A writeback connector: the sizes it can write, up to 4096 wide.
MODES_WRITEBACK = ["4096x2160", "3840x2160", "2560x1440", "1920x1080",
                   "1280x720"]


def edid_modes(block):
    """The mode names the kernel lists for an EDID, in its order: the
    preferred (first detailed) timing, then larger before smaller; each
    detailed, standard and established timing once."""
    modes = []
    for at in range(54, 126, 18):
        d = block[at:at + 18]
        if d[0] == 0 and d[1] == 0:
            continue
        w = d[2] | (d[4] & 0xF0) << 4
        h = d[5] | (d[7] & 0xF0) << 4
        interlaced = d[17] & 0x80
        modes.append("%dx%d%s" % (w, 2 * h if interlaced else h,
                                  "i" if interlaced else ""))
    aspects = {0: (16, 10), 1: (4, 3), 2: (5, 4), 3: (16, 9)}
    for at in range(38, 54, 2):
        if block[at] in (0, 1) and block[at + 1] in (0, 1):
            continue
        w = (block[at] + 31) * 8
        num, den = aspects[block[at + 1] >> 6]
        modes.append("%dx%d" % (w, w * den // num))
    established = [(35, 0x20, "640x480"), (35, 0x01, "800x600"),
                   (36, 0x08, "1024x768"), (36, 0x01, "1280x1024"),
                   (35, 0x80, "720x400")]
    for at, bit, name in established:
        if block[at] & bit:
            modes.append(name)
    preferred, rest = modes[:1], modes[1:]

    def area(name):
        w, h = name.rstrip("i").split("x")
        return (int(w) * int(h), int(w))
    rest = sorted(set(rest) - set(preferred), key=area, reverse=True)
    return preferred + rest


# ---------------------------------------------------------------- helpers


class Tree:
    """One fixture root; every path given to it is relative to that root."""

    def __init__(self, name, hostname):
        self.root = os.path.join(OUT, name)
        if os.path.lexists(self.root):
            shutil.rmtree(self.root)
        os.makedirs(self.root)
        # The machine's host name, as procfs shows it.
        self.write("proc/sys/kernel/hostname", hostname + "\n")

    def path(self, rel):
        return os.path.join(self.root, rel)

    def mkdir(self, rel):
        os.makedirs(self.path(rel), exist_ok=True)

    def write(self, rel, content):
        full = self.path(rel)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        data = content if isinstance(content, bytes) else content.encode()
        with open(full, "wb") as f:
            f.write(data)

    def link(self, rel, target_rel):
        """Makes rel a relative symbolic link to target_rel (both from the root).

        Like the kernel, climb from the link's folder to a folder that holds
        the target's parent, then go down by name: a card's `device` link
        to its own ancestor reads ../../../0000:00:02.0, not ../.."""
        full = self.path(rel)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        target = self.path(target_rel)
        up = os.path.relpath(os.path.dirname(target), os.path.dirname(full))
        name = os.path.basename(target)
        os.symlink(name if up == "." else os.path.join(up, name), full)


def edid(sample):
    with open(os.path.join(SAMPLES, sample), "rb") as f:
        return f.read()


def pci_device(t, devpath, vendor, device, sub_vendor, sub_device, revision,
               pci_class, driver=None, boot_vga=None, irq=None, extra=None,
               runtime_status=None):
    """A PCI function under sys/<devpath>, e.g. devices/pci0000:00/0000:00:02.0.

    The kernel writes boot_vga only for VGA-class devices (class 0x0300);
    runtime_status is the device's power/runtime_status ("active",
    "suspended")."""
    slot = os.path.basename(devpath)
    d = "sys/" + devpath
    t.write(d + "/vendor", "0x%04x\n" % vendor)
    t.write(d + "/device", "0x%04x\n" % device)
    t.write(d + "/subsystem_vendor", "0x%04x\n" % sub_vendor)
    t.write(d + "/subsystem_device", "0x%04x\n" % sub_device)
    t.write(d + "/revision", "0x%02x\n" % revision)
    t.write(d + "/class", "0x%06x\n" % pci_class)
    modalias = "pci:v%08Xd%08Xsv%08Xsd%08Xbc%02Xsc%02Xi%02X" % (
        vendor, device, sub_vendor, sub_device,
        pci_class >> 16, (pci_class >> 8) & 0xFF, pci_class & 0xFF)
    t.write(d + "/modalias", modalias + "\n")
    uevent = ""
    if driver:
        uevent += "DRIVER=%s\n" % driver
    uevent += "PCI_CLASS=%X\n" % pci_class
    uevent += "PCI_ID=%04X:%04X\n" % (vendor, device)
    uevent += "PCI_SUBSYS_ID=%04X:%04X\n" % (sub_vendor, sub_device)
    uevent += "PCI_SLOT_NAME=%s\n" % slot
    uevent += "MODALIAS=%s\n" % modalias
    t.write(d + "/uevent", uevent)
    t.write(d + "/enable", "1\n" if driver else "0\n")
    t.write(d + "/numa_node", "-1\n")
    if irq is not None:
        t.write(d + "/irq", "%d\n" % irq)
    if boot_vga is not None:
        t.write(d + "/boot_vga", "%d\n" % boot_vga)
    t.link(d + "/subsystem", "sys/bus/pci")
    t.link("sys/bus/pci/devices/" + slot, d)
    if driver:
        t.link(d + "/driver", "sys/bus/pci/drivers/" + driver)
        t.link("sys/bus/pci/drivers/%s/%s" % (driver, slot), d)
    if runtime_status is not None:
        t.write(d + "/power/runtime_status", runtime_status + "\n")
        t.write(d + "/power/control", "auto\n")
    for name, value in (extra or {}).items():
        t.write(d + "/" + name, value)


def pci_bridge(t, devpath, vendor, device, driver="pcieport"):
    """A PCI bridge on the way to a display device; only its identity files."""
    slot = os.path.basename(devpath)
    d = "sys/" + devpath
    t.write(d + "/vendor", "0x%04x\n" % vendor)
    t.write(d + "/device", "0x%04x\n" % device)
    t.write(d + "/class", "0x060400\n")
    uevent = "DRIVER=%s\n" % driver if driver else ""
    uevent += "PCI_CLASS=60400\nPCI_ID=%04X:%04X\nPCI_SLOT_NAME=%s\n" % (
        vendor, device, slot)
    t.write(d + "/uevent", uevent)
    t.link(d + "/subsystem", "sys/bus/pci")
    t.link("sys/bus/pci/devices/" + slot, d)
    if driver:
        t.link(d + "/driver", "sys/bus/pci/drivers/" + driver)
        t.link("sys/bus/pci/drivers/%s/%s" % (driver, slot), d)


def connector(name, connector_id, status, enabled=None, dpms=None,
              modes=None, edid_bytes=b""):
    """One connector, e.g. connector("HDMI-A-1", 104, "disconnected").

    connector_id None leaves the file out, as kernels before 6.5 do.  A
    connector whose status is not "disconnected" keeps its modes and EDID
    (an output without hot-plug detection reads "unknown" and still has
    them); modes=None on a connected one gives the modes the probe helper
    adds without an EDID."""
    present = status != "disconnected"
    if enabled is None:
        enabled = status == "connected"
    if modes is None:
        modes = MODES_NO_EDID if status == "connected" else []
    return {
        "name": name,
        "connector_id": connector_id,
        "status": status,
        "enabled": "enabled" if enabled else "disabled",
        "dpms": dpms or ("On" if enabled else "Off"),
        "modes": modes if present else [],
        "edid": edid_bytes if present else b"",
    }


def with_monitor(name, connector_id, sample):
    """A connected, enabled connector with the monitor of an EDID sample and
    the modes its EDID gives."""
    block = edid(sample)
    return connector(name, connector_id, "connected", modes=edid_modes(block),
                     edid_bytes=block)


def drm_minor(t, devpath, name, minor):
    """A DRM minor (card or render node) under the device sys/<devpath>; its folder."""
    folder = "sys/%s/drm/%s" % (devpath, name)
    t.write(folder + "/dev", "226:%d\n" % minor)
    t.write(folder + "/uevent", "MAJOR=226\nMINOR=%d\nDEVNAME=dri/%s\n"
            "DEVTYPE=drm_minor\n" % (minor, name))
    t.link(folder + "/device", "sys/" + devpath)
    t.link(folder + "/subsystem", "sys/class/drm")
    t.link("sys/class/drm/" + name, folder)
    return folder


def drm_card(t, devpath, card, connectors, render_minor=None, boot_display=False):
    """The DRM card `card` (e.g. "card0") under the device sys/<devpath>.

    boot_display writes the card's boot_display attribute, which kernels from
    2026 show (reading 1) on the card of the PCI device the firmware used as
    its display, whatever its class."""
    cdir = drm_minor(t, devpath, card, int(card[len("card"):]))
    if boot_display:
        t.write(cdir + "/boot_display", "1\n")
    for c in connectors:
        cname = "%s-%s" % (card, c["name"])
        k = cdir + "/" + cname
        t.write(k + "/status", c["status"] + "\n")
        t.write(k + "/enabled", c["enabled"] + "\n")
        t.write(k + "/dpms", c["dpms"] + "\n")
        t.write(k + "/modes", "".join(m + "\n" for m in c["modes"]))
        t.write(k + "/edid", c["edid"])
        if c["connector_id"] is not None:
            t.write(k + "/connector_id", "%d\n" % c["connector_id"])
        t.write(k + "/uevent", "DEVTYPE=drm_connector\n")
        t.link(k + "/device", cdir)
        t.link(k + "/subsystem", "sys/class/drm")
        t.link("sys/class/drm/" + cname, k)
    if render_minor is not None:
        drm_minor(t, devpath, "renderD%d" % render_minor, render_minor)


def drm_class(t):
    t.write("sys/class/drm/version", DRM_VERSION)


def platform_device(t, devpath, driver, uevent_extra="", modalias=None):
    """A platform device under sys/<devpath> with its driver bound."""
    name = os.path.basename(devpath)
    d = "sys/" + devpath
    modalias = modalias or "platform:" + driver
    t.write(d + "/uevent", "DRIVER=%s\n%sMODALIAS=%s\n" % (driver, uevent_extra, modalias))
    t.write(d + "/modalias", modalias + "\n")
    t.write(d + "/driver_override", "(null)\n")
    t.link(d + "/driver", "sys/bus/platform/drivers/" + driver)
    t.link(d + "/subsystem", "sys/bus/platform")
    t.link("sys/bus/platform/drivers/%s/%s" % (driver, name), d)
    t.link("sys/bus/platform/devices/" + name, d)
    return d


def usb_device(t, devpath, vendor, product, bcd, manufacturer, product_name,
               serial, busnum, devnum, speed="480"):
    """A USB device under sys/<devpath>, e.g. .../usb3/3-2, as usbcore shows it."""
    d = "sys/" + devpath
    name = os.path.basename(devpath)
    for attr, value in (("idVendor", "%04x" % vendor), ("idProduct", "%04x" % product),
                        ("bcdDevice", "%04x" % bcd), ("manufacturer", manufacturer),
                        ("product", product_name), ("serial", serial),
                        ("busnum", "%d" % busnum), ("devnum", "%d" % devnum),
                        ("devpath", name.split("-", 1)[1]), ("speed", speed),
                        ("bDeviceClass", "00"), ("bDeviceSubClass", "00"),
                        ("bDeviceProtocol", "00"), ("bNumInterfaces", " 1"),
                        ("bConfigurationValue", "1"), ("version", " 2.00")):
        t.write(d + "/" + attr, value + "\n")
    t.write(d + "/uevent", "MAJOR=189\nMINOR=%d\nDEVNAME=bus/usb/%03d/%03d\n"
            "DEVTYPE=usb_device\nDRIVER=usb\nPRODUCT=%x/%x/%x\nTYPE=0/0/0\n"
            "BUSNUM=%03d\nDEVNUM=%03d\n" % (
                (busnum - 1) * 128 + devnum - 1, busnum, devnum, vendor, product,
                bcd, busnum, devnum))
    t.mkdir("sys/bus/usb/drivers/usb")
    t.link(d + "/subsystem", "sys/bus/usb")
    t.link(d + "/driver", "sys/bus/usb/drivers/usb")
    t.link("sys/bus/usb/drivers/usb/" + name, d)
    t.link("sys/bus/usb/devices/" + name, d)
    t.write(d + "/power/runtime_status", "active\n")
    return d


def usb_interface(t, devpath, iclass, isubclass, iprotocol, driver):
    """An interface (e.g. 3-2:1.0) of a USB device, bound to driver."""
    d = "sys/" + devpath
    name = os.path.basename(devpath)
    for attr, value in (("bInterfaceClass", "%02x" % iclass),
                        ("bInterfaceSubClass", "%02x" % isubclass),
                        ("bInterfaceProtocol", "%02x" % iprotocol),
                        ("bInterfaceNumber", "00"), ("bAlternateSetting", " 0"),
                        ("bNumEndpoints", "01")):
        t.write(d + "/" + attr, value + "\n")
    t.write(d + "/uevent", "DEVTYPE=usb_interface\nDRIVER=%s\n"
            "INTERFACE=%d/%d/%d\n" % (driver, iclass, isubclass, iprotocol))
    t.link(d + "/subsystem", "sys/bus/usb")
    t.link(d + "/driver", "sys/bus/usb/drivers/" + driver)
    t.link("sys/bus/usb/drivers/%s/%s" % (driver, name), d)
    t.link("sys/bus/usb/devices/" + name, d)
    return d


# ---------------------------------------------------------------- fixtures


def two_gpus():
    """A laptop: Intel Alder Lake-P iGPU drives the panel, an AMD Navi 23
    dGPU drives the external ports."""
    t = Tree("two-gpus", "thinkbook")
    drm_class(t)

    igpu = "devices/pci0000:00/0000:00:02.0"
    pci_device(t, igpu, 0x8086, 0x46a6, 0x1462, 0x13b7, 0x0c, 0x030000,
               driver="i915", boot_vga=1, irq=183)
    drm_card(t, igpu, "card0", [
        connector("eDP-1", 95, "connected", modes=MODES_CMN1631,
                  edid_bytes=edid("055.bin")),
        connector("HDMI-A-1", 104, "disconnected"),
    ], render_minor=128)

    port = "devices/pci0000:00/0000:00:01.0"
    up = port + "/0000:01:00.0"
    down = up + "/0000:02:00.0"
    dgpu = down + "/0000:03:00.0"
    pci_bridge(t, port, 0x8086, 0x460d)
    pci_bridge(t, up, 0x1002, 0x1478)
    pci_bridge(t, down, 0x1002, 0x1479)
    pci_device(t, dgpu, 0x1002, 0x73ff, 0x1462, 0x13b7, 0xc3, 0x030000,
               driver="amdgpu", boot_vga=0, irq=196, extra={
                   "mem_info_vram_total": "8573157376\n",
                   "mem_info_vram_used": "1231486976\n",
                   "mem_info_vis_vram_total": "268435456\n",
                   "mem_info_gtt_total": "8328179712\n",
                   "vbios_version": "113-D4300100-100\n",
               })
    pci_device(t, down + "/0000:03:00.1", 0x1002, 0xab28, 0x1462, 0x13b7,
               0x00, 0x040300, driver="snd_hda_intel", irq=197)
    drm_card(t, dgpu, "card1", [
        connector("DP-1", 99, "connected", modes=MODES_SAM0D37,
                  edid_bytes=edid("098.bin")),
        connector("DP-2", 108, "connected", enabled=False,
                  modes=MODES_HPN36BE, edid_bytes=edid("078.bin")),
        connector("HDMI-A-1", 114, "disconnected"),
    ], render_minor=129)


NVIDIA_INFORMATION = (
    "Model: \t\t NVIDIA GeForce RTX 3060\n"
    "IRQ:   \t\t 156\n"
    "GPU UUID: \t GPU-5c1e9d0a-7f3b-2e64-b8d1-0a9c47e3f215\n"
    "Video BIOS: \t 94.06.2c.00.8f\n"
    "Bus Type: \t PCIe\n"
    "DMA Size: \t 47 bits\n"
    "DMA Mask: \t 0x7fffffffffff\n"
    "Bus Location: \t 0000:01:00.0\n"
    "Device Minor: \t 0\n"
    "GPU Firmware: \t N/A\n"
    "GPU Excluded:\t No\n")

NVIDIA_VERSION = (
    "NVRM version: NVIDIA UNIX x86_64 Kernel Module  535.154.05  "
    "Thu Dec 28 15:37:48 UTC 2023\n"
    "GCC version:  gcc version 12.2.0 (Debian 12.2.0-14) \n")


def nvidia_and_no_driver():
    """A workstation: NVIDIA GeForce RTX 3060 on the proprietary driver, and
    the board's ASPEED BMC display device with no driver bound."""
    t = Tree("nvidia-and-no-driver", "lab-ws-07.example.net")
    drm_class(t)

    port = "devices/pci0000:00/0000:00:01.0"
    gpu = port + "/0000:01:00.0"
    pci_bridge(t, port, 0x8086, 0xa70d)
    pci_device(t, gpu, 0x10de, 0x2504, 0x1458, 0x4096, 0xa1, 0x030000,
               driver="nvidia", boot_vga=0, irq=156)
    pci_device(t, port + "/0000:01:00.1", 0x10de, 0x228e, 0x1458, 0x4096,
               0xa1, 0x040300, driver="snd_hda_intel", irq=17)
    # card0 is missing on purpose: the firmware frame buffer's card goes
    # away when the real driver takes over, and the numbers are not reused.
    drm_card(t, gpu, "card1", [
        connector("DP-1", 137, "connected", modes=MODES_GSM5B08,
                  edid_bytes=edid("144.bin")),
        connector("DP-2", 140, "disconnected"),
        connector("DP-3", 143, "disconnected"),
        connector("HDMI-A-1", 146, "connected", modes=MODES_BNQ7F7E,
                  edid_bytes=edid("149.bin")),
    ], render_minor=128)
    t.write("proc/driver/nvidia/gpus/0000:01:00.0/information",
            NVIDIA_INFORMATION)
    t.write("proc/driver/nvidia/version", NVIDIA_VERSION)

    rport = "devices/pci0000:00/0000:00:1c.4"
    bridge = rport + "/0000:05:00.0"
    bmc = bridge + "/0000:06:00.0"
    pci_bridge(t, rport, 0x8086, 0x7abc)
    # The ASPEED PCIe-to-PCI bridge in front of it has no driver either.
    pci_bridge(t, bridge, 0x1a03, 0x1150, driver=None)
    # No driver: no `driver` link, no DRIVER= line, and yet a DRM card.
    pci_device(t, bmc, 0x1a03, 0x2000, 0x15d9, 0x1c48, 0x52, 0x030000,
               driver=None, boot_vga=1, irq=16)
    drm_card(t, bmc, "card2", [
        connector("VGA-1", 37, "connected", modes=MODES_ACR00F7,
                  edid_bytes=edid("000.bin")),
    ])


def not_on_pci():
    """A Raspberry Pi 4: the vc4 display controller is a platform device
    described by the device tree; there is no PCI display device."""
    t = Tree("not-on-pci", "raspberrypi")
    drm_class(t)

    dev = "devices/platform/gpu"
    d = "sys/" + dev
    modalias = "of:NgpuT(null)Cbrcm,bcm2711-vc5"
    t.write(d + "/uevent", "DRIVER=vc4-drm\nOF_NAME=gpu\nOF_FULLNAME=/gpu\n"
            "OF_COMPATIBLE_0=brcm,bcm2711-vc5\nOF_COMPATIBLE_N=1\n"
            "MODALIAS=%s\n" % modalias)
    t.write(d + "/modalias", modalias + "\n")
    t.write(d + "/driver_override", "(null)\n")
    t.link(d + "/driver", "sys/bus/platform/drivers/vc4-drm")
    t.link(d + "/subsystem", "sys/bus/platform")
    t.link(d + "/of_node", "sys/firmware/devicetree/base/gpu")
    t.link("sys/bus/platform/drivers/vc4-drm/gpu", d)
    t.link("sys/bus/platform/devices/gpu", d)
    t.write("sys/firmware/devicetree/base/gpu/compatible",
            b"brcm,bcm2711-vc5\0")
    t.write("sys/firmware/devicetree/base/gpu/name", b"gpu\0")
    t.write("sys/firmware/devicetree/base/gpu/status", b"okay\0")
    t.write("sys/firmware/devicetree/base/model",
            b"Raspberry Pi 4 Model B Rev 1.5\0")
    drm_card(t, dev, "card0", [
        connector("HDMI-A-1", 32, "connected", modes=MODES_DEL40E7,
                  edid_bytes=edid("094.bin")),
        connector("HDMI-A-2", 42, "disconnected"),
    ])


def empty():
    """DRM is there, but no driver has made a card."""
    t = Tree("empty", "ci-runner-0042")
    drm_class(t)


def no_drm():
    """No DRM at all: only the firmware's frame buffer device."""
    t = Tree("no-drm", "headless")
    fb = "sys/devices/platform/efi-framebuffer.0/graphics/fb0"
    t.write(fb + "/name", "EFI VGA\n")
    t.write(fb + "/virtual_size", "1024,768\n")
    t.write(fb + "/bits_per_pixel", "32\n")
    t.write(fb + "/dev", "29:0\n")
    t.write(fb + "/uevent", "MAJOR=29\nMINOR=0\nDEVNAME=fb0\n")
    t.link(fb + "/subsystem", "sys/class/graphics")
    t.link(fb + "/device", "sys/devices/platform/efi-framebuffer.0")
    t.link("sys/class/graphics/fb0", fb)
    t.write("sys/devices/platform/efi-framebuffer.0/uevent",
            "DRIVER=efi-framebuffer\nMODALIAS=platform:efi-framebuffer\n")


def vm_qxl():
    """A KVM guest (QEMU q35) with the QXL display: four virtual outputs of
    which the first is connected, with no EDID (QXL never sets one)."""
    t = Tree("vm-qxl", "debian-vm")
    drm_class(t)
    qxl = "devices/pci0000:00/0000:00:01.0"
    pci_device(t, qxl, 0x1b36, 0x0100, 0x1af4, 0x1100, 0x05, 0x030000,
               driver="qxl", boot_vga=1, irq=21, runtime_status="active")
    drm_card(t, qxl, "card0", [
        connector("Virtual-1", 36, "connected", modes=MODES_QXL),
        connector("Virtual-2", 40, "disconnected"),
        connector("Virtual-3", 44, "disconnected"),
        connector("Virtual-4", 48, "disconnected"),
    ], render_minor=128)


HV_SYNTHVID = "{da0a7802-e377-4aac-8e77-0558eb1073f8}"


def hyperv():
    """A Hyper-V generation 2 guest (as on Azure): the synthetic video device
    on VMBus, driven by hyperv_drm, whose one output has no EDID."""
    t = Tree("hyperv", "azure-web-01")
    drm_class(t)
    acpi = "devices/LNXSYSTM:00/LNXSYBUS:00/ACPI0004:00"
    vmbus = acpi + "/VMBUS:00"
    instance = "5620e0c7-8062-4dce-aeb7-520c7ef76171"
    dev = vmbus + "/" + instance
    d = "sys/" + dev
    t.write("sys/" + acpi + "/hid", "ACPI0004\n")
    t.link("sys/" + acpi + "/subsystem", "sys/bus/acpi")
    t.link("sys/bus/acpi/devices/ACPI0004:00", "sys/" + acpi)
    t.write("sys/" + vmbus + "/hid", "VMBUS\n")
    t.link("sys/" + vmbus + "/subsystem", "sys/bus/acpi")
    t.link("sys/bus/acpi/devices/VMBUS:00", "sys/" + vmbus)
    t.write(d + "/class_id", HV_SYNTHVID + "\n")
    t.write(d + "/device_id", "{" + instance + "}\n")
    t.write(d + "/id", "14\n")
    t.write(d + "/state", "3\n")
    t.write(d + "/modalias", "vmbus:02780adaa77e44ac8e770558eb1073f8\n")
    t.write(d + "/uevent", "DRIVER=hyperv_drm\n"
            "MODALIAS=vmbus:02780adaa77e44ac8e770558eb1073f8\n")
    t.link(d + "/subsystem", "sys/bus/vmbus")
    t.link(d + "/driver", "sys/bus/vmbus/drivers/hyperv_drm")
    t.link("sys/bus/vmbus/drivers/hyperv_drm/" + instance, d)
    t.link("sys/bus/vmbus/devices/" + instance, d)
    t.write(d + "/power/runtime_status", "unsupported\n")
    drm_card(t, dev, "card0", [
        connector("Virtual-1", 31, "connected", modes=MODES_HYPERV),
    ])


def virtio_old_kernel():
    """A KVM guest on an Ubuntu 22.04 kernel (5.15): virtio-gpu's DRM device
    hangs below the virtio device (virtio0), not the PCI function, and the
    connectors have no connector_id yet."""
    t = Tree("virtio-old-kernel", "jammy-guest")
    drm_class(t)
    fn = "devices/pci0000:00/0000:00:02.0"
    pci_device(t, fn, 0x1af4, 0x1050, 0x1af4, 0x1100, 0x01, 0x030000,
               driver="virtio-pci", boot_vga=1, irq=11, runtime_status="active")
    dev = fn + "/virtio0"
    d = "sys/" + dev
    t.write(d + "/vendor", "0x1af4\n")
    t.write(d + "/device", "0x0010\n")
    t.write(d + "/status", "0x0000000f\n")
    t.write(d + "/features",
            "0100000000000000000000000000001100000000000000000000000000000000\n")
    t.write(d + "/modalias", "virtio:d00000010v00001AF4\n")
    t.write(d + "/uevent", "DRIVER=virtio_gpu\nMODALIAS=virtio:d00000010v00001AF4\n")
    t.link(d + "/subsystem", "sys/bus/virtio")
    t.link(d + "/driver", "sys/bus/virtio/drivers/virtio_gpu")
    t.link("sys/bus/virtio/drivers/virtio_gpu/virtio0", d)
    t.link("sys/bus/virtio/devices/virtio0", d)
    drm_card(t, dev, "card0", [with_monitor("Virtual-1", None, "049.bin")], render_minor=128)


def raspberry_pi_4():
    """A Raspberry Pi 4 on Raspberry Pi OS: card0 is the V3D render engine,
    which has no display; card1 the display controller (vc4) with its two
    HDMI ports and the writeback connector of its transposer."""
    t = Tree("raspberry-pi-4", "pi4-kiosk")
    drm_class(t)
    v3d = "devices/platform/v3dbus/fec00000.v3d"
    platform_device(t, v3d, "v3d",
                    "OF_NAME=v3d\nOF_FULLNAME=/v3dbus/v3d@7ec04000\n"
                    "OF_COMPATIBLE_0=brcm,2711-v3d\nOF_COMPATIBLE_N=1\n",
                    modalias="of:Nv3dT(null)Cbrcm,2711-v3d")
    t.link("sys/" + v3d + "/of_node", "sys/firmware/devicetree/base/v3dbus/v3d@7ec04000")
    t.write("sys/firmware/devicetree/base/v3dbus/v3d@7ec04000/compatible", b"brcm,2711-v3d\0")
    drm_card(t, v3d, "card0", [], render_minor=128)

    gpu = "devices/platform/gpu"
    platform_device(t, gpu, "vc4-drm",
                    "OF_NAME=gpu\nOF_FULLNAME=/gpu\nOF_COMPATIBLE_0=brcm,bcm2711-vc5\n"
                    "OF_COMPATIBLE_N=1\n", modalias="of:NgpuT(null)Cbrcm,bcm2711-vc5")
    t.link("sys/" + gpu + "/of_node", "sys/firmware/devicetree/base/gpu")
    t.write("sys/firmware/devicetree/base/gpu/compatible", b"brcm,bcm2711-vc5\0")
    t.write("sys/firmware/devicetree/base/model", b"Raspberry Pi 4 Model B Rev 1.5\0")
    drm_card(t, gpu, "card1", [
        with_monitor("HDMI-A-1", 33, "027.bin"),
        connector("HDMI-A-2", 43, "disconnected"),
        connector("Writeback-1", 51, "connected", enabled=False,
                  modes=MODES_WRITEBACK),
    ])


def laptop_lts_kernel():
    """A hybrid laptop on Debian 12's kernel (6.1), whose connectors have no
    connector_id: Intel graphics drive the panel and the ports; the NVIDIA
    GPU (a 3D controller, class 0x0302) has no outputs and sleeps in runtime
    suspend."""
    t = Tree("laptop-lts-kernel", "debian-laptop")
    drm_class(t)
    igpu = "devices/pci0000:00/0000:00:02.0"
    pci_device(t, igpu, 0x8086, 0xa7a0, 0x17aa, 0x22f1, 0x04, 0x030000,
               driver="i915", boot_vga=1, irq=185, runtime_status="active")
    drm_card(t, igpu, "card0", [
        with_monitor("eDP-1", None, "063.bin"),
        connector("DP-1", None, "disconnected"),
        with_monitor("DP-2", None, "091.bin"),
        connector("DP-3", None, "disconnected"),
        connector("DP-4", None, "disconnected"),
        connector("HDMI-A-1", None, "disconnected"),
    ], render_minor=128)

    port = "devices/pci0000:00/0000:00:01.0"
    dgpu = port + "/0000:01:00.0"
    pci_bridge(t, port, 0x8086, 0xa70d)
    pci_device(t, dgpu, 0x10de, 0x28a0, 0x17aa, 0x22f1, 0xa1, 0x030200,
               driver="nvidia", irq=16, runtime_status="suspended")
    drm_card(t, dgpu, "card1", [], render_minor=129)
    t.write("proc/driver/nvidia/gpus/0000:01:00.0/information",
            NVIDIA_INFORMATION.replace("GeForce RTX 3060", "GeForce RTX 4060 Laptop GPU")
            .replace("94.06.2c.00.8f", "95.07.35.00.4c"))
    t.write("proc/driver/nvidia/version", NVIDIA_VERSION)


def nvidia_without_kms():
    """A compute node whose NVIDIA driver runs without kernel modesetting
    (nvidia-drm modeset=0, the default before the 560 drivers): the firmware
    frame buffer stays on simpledrm (card0), the GPU's card1 has no outputs
    and its BIOS line is the driver's placeholder; a second GPU is given to
    virtual machines through vfio-pci and has no DRM device at all."""
    t = Tree("nvidia-without-kms", "ml-node-3")
    drm_class(t)
    fb = "devices/platform/simple-framebuffer.0"
    platform_device(t, fb, "simple-framebuffer")
    drm_card(t, fb, "card0", [
        connector("Unknown-1", 33, "connected", modes=MODES_SIMPLEDRM),
    ])

    port = "devices/pci0000:00/0000:00:01.0"
    gpu = port + "/0000:01:00.0"
    pci_bridge(t, port, 0x8086, 0x460d)
    pci_device(t, gpu, 0x10de, 0x2684, 0x10de, 0x165b, 0xa1, 0x030000,
               driver="nvidia", boot_vga=1, irq=170, runtime_status="active")
    pci_device(t, port + "/0000:01:00.1", 0x10de, 0x22ba, 0x10de, 0x165b, 0xa1,
               0x040300, driver="snd_hda_intel", irq=17)
    drm_card(t, gpu, "card1", [], render_minor=128)
    t.write("proc/driver/nvidia/gpus/0000:01:00.0/information",
            NVIDIA_INFORMATION.replace("GeForce RTX 3060", "GeForce RTX 4090")
            .replace("94.06.2c.00.8f", "??.??.??.??.??"))
    t.write("proc/driver/nvidia/version", NVIDIA_VERSION)

    port2 = "devices/pci0000:00/0000:00:1b.0"
    passthrough = port2 + "/0000:02:00.0"
    pci_bridge(t, port2, 0x8086, 0x7ac0)
    pci_device(t, passthrough, 0x10de, 0x1eb8, 0x10de, 0x12a2, 0xa1, 0x030200,
               driver="vfio-pci", irq=255, runtime_status="suspended")


def usb_display():
    """A desktop with an AMD card (including the writeback connector of its
    display engine) and a DisplayLink USB adapter driven by udl, whose DRM
    device hangs below the USB interface."""
    t = Tree("usb-display", "studio-desk")
    drm_class(t)
    port = "devices/pci0000:00/0000:00:01.1"
    up = port + "/0000:01:00.0"
    down = up + "/0000:02:00.0"
    gpu = down + "/0000:03:00.0"
    pci_bridge(t, port, 0x1022, 0x14db)
    pci_bridge(t, up, 0x1002, 0x1478)
    pci_bridge(t, down, 0x1002, 0x1479)
    pci_device(t, gpu, 0x1002, 0x744c, 0x1da2, 0x471e, 0xc8, 0x030000,
               driver="amdgpu", boot_vga=1, irq=120, runtime_status="active", extra={
                   "mem_info_vram_total": "25753026560\n",
                   "vbios_version": "113-D7020100-102\n",
               })
    drm_card(t, gpu, "card0", [
        with_monitor("DP-1", 95, "143.bin"),
        connector("DP-2", 104, "disconnected"),
        connector("HDMI-A-1", 110, "disconnected"),
        connector("Writeback-1", 116, "connected", enabled=False, modes=MODES_WRITEBACK),
    ], render_minor=128)

    xhci = "devices/pci0000:00/0000:00:14.0"
    pci_device(t, xhci, 0x8086, 0x7ae0, 0x1458, 0x5007, 0x11, 0x0c0330,
               driver="xhci_hcd", irq=126)
    usb_device(t, xhci + "/usb3/3-2", 0x17e9, 0x019e, 0x0105, "DisplayLink",
                     "Plugable UGA-165", "UGA1650031729", busnum=3, devnum=4)
    t.link("sys/" + xhci + "/usb3/subsystem", "sys/bus/usb")
    iface = xhci + "/usb3/3-2/3-2:1.0"
    usb_interface(t, iface, 0xff, 0x00, 0x00, "udl")
    drm_card(t, iface, "card1", [with_monitor("DVI-I-1", 121, "044.bin")])


def boot_display():
    """A desktop on a 2026 kernel whose firmware showed its screens through
    the Intel graphics (a display controller, class 0x0380, which has no
    boot_vga file) although an AMD card is in the first slot: the Intel
    card carries boot_display."""
    t = Tree("boot-display", "render-ws")
    drm_class(t)
    port = "devices/pci0000:00/0000:00:01.0"
    gpu = port + "/0000:01:00.0"
    pci_bridge(t, port, 0x8086, 0xae4d)
    pci_device(t, gpu, 0x1002, 0x7550, 0x1da2, 0xe490, 0xc0, 0x030000,
               driver="amdgpu", boot_vga=0, irq=140, runtime_status="active", extra={
                   "mem_info_vram_total": "17163091968\n",
                   "vbios_version": "113-D7330100-101\n",
               })
    drm_card(t, gpu, "card0", [
        with_monitor("DP-1", 104, "139.bin"),
        connector("HDMI-A-1", 110, "disconnected"),
    ], render_minor=128)
    igpu = "devices/pci0000:00/0000:00:02.0"
    pci_device(t, igpu, 0x8086, 0x7d67, 0x1849, 0x7d67, 0x06, 0x038000,
               driver="i915", irq=190, runtime_status="active")
    drm_card(t, igpu, "card1", [
        with_monitor("DP-1", 236, "105.bin"),
        connector("HDMI-A-1", 245, "disconnected"),
    ], render_minor=129, boot_display=True)


if __name__ == "__main__":
    two_gpus()
    nvidia_and_no_driver()
    not_on_pci()
    empty()
    no_drm()
    vm_qxl()
    hyperv()
    virtio_old_kernel()
    raspberry_pi_4()
    laptop_lts_kernel()
    nvidia_without_kms()
    usb_display()
    boot_display()
