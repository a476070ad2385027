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
               pci_class, driver=None, boot_vga=None, irq=None, extra=None):
    """A PCI function under sys/<devpath>, e.g. devices/pci0000:00/0000:00:02.0."""
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
    """One connector, e.g. connector("HDMI-A-1", 104, "disconnected")."""
    connected = status == "connected"
    if enabled is None:
        enabled = connected
    return {
        "name": name,
        "connector_id": connector_id,
        "status": status,
        "enabled": "enabled" if enabled else "disabled",
        "dpms": dpms or ("On" if enabled else "Off"),
        "modes": modes if connected else [],
        "edid": edid_bytes if connected else b"",
    }


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


def drm_card(t, devpath, card, connectors, render_minor=None):
    """The DRM card `card` (e.g. "card0") under the device sys/<devpath>."""
    cdir = drm_minor(t, devpath, card, int(card[len("card"):]))
    for c in connectors:
        cname = "%s-%s" % (card, c["name"])
        k = cdir + "/" + cname
        t.write(k + "/status", c["status"] + "\n")
        t.write(k + "/enabled", c["enabled"] + "\n")
        t.write(k + "/dpms", c["dpms"] + "\n")
        t.write(k + "/modes", "".join(m + "\n" for m in c["modes"]))
        t.write(k + "/edid", c["edid"])
        t.write(k + "/connector_id", "%d\n" % c["connector_id"])
        t.write(k + "/uevent", "DEVTYPE=drm_connector\n")
        t.link(k + "/device", cdir)
        t.link(k + "/subsystem", "sys/class/drm")
        t.link("sys/class/drm/" + cname, k)
    if render_minor is not None:
        drm_minor(t, devpath, "renderD%d" % render_minor, render_minor)


def drm_class(t):
    t.write("sys/class/drm/version", DRM_VERSION)


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


if __name__ == "__main__":
    two_gpus()
    nvidia_and_no_driver()
    not_on_pci()
    empty()
    no_drm()
