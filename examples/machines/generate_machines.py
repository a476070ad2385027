#!/usr/bin/env python3
"""Writes the example machine descriptions workstation.json and laptop.json.

The EDID blocks are assembled here so that their fields and checksums stay
right; run this script after changing it and commit the JSON files it writes
(the build does not run it).

    python3 examples/machines/generate_machines.py
"""

import json
import os

MONITOR_CLASS = "{4d36e96e-e325-11ce-bfc1-08002be10318}"
VIDEO_KEY = "System\\CurrentControlSet\\Control\\Video\\"
ENUM_KEY = "SYSTEM\\CurrentControlSet\\Enum\\"

# Device node status bits (cfg.h).
DN_DRIVER_LOADED = 0x00000002
DN_STARTED = 0x00000008
DN_HAS_PROBLEM = 0x00000400
DN_DISABLEABLE = 0x00002000
DN_NT_ENUMERATOR = 0x00800000
DN_NT_DRIVER = 0x01000000
STARTED = DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER
CM_PROB_FAILED_POST_START = 43  # "Windows has stopped this device because it has reported problems."

# DISPLAY_DEVICEA state flags.
ATTACHED_TO_DESKTOP = 0x1
PRIMARY_DEVICE = 0x4
MONITOR_ACTIVE_ATTACHED = 0x3


# ---- EDID -------------------------------------------------------------------

def with_checksum(block):
    assert len(block) == 127, len(block)
    return block + [(-sum(block)) & 0xFF]


def manufacturer_id(letters):
    word = 0
    for letter in letters:
        word = (word << 5) | (ord(letter) - ord("A") + 1)
    return [word >> 8, word & 0xFF]


def detailed_timing(clock_khz, h_active, h_blank, h_front, h_sync, v_active, v_blank,
                    v_front, v_sync, width_mm, height_mm, flags):
    clock = clock_khz // 10
    return [
        clock & 0xFF, clock >> 8,
        h_active & 0xFF, h_blank & 0xFF, ((h_active >> 8) << 4) | (h_blank >> 8),
        v_active & 0xFF, v_blank & 0xFF, ((v_active >> 8) << 4) | (v_blank >> 8),
        h_front & 0xFF, h_sync & 0xFF, ((v_front & 0xF) << 4) | (v_sync & 0xF),
        ((h_front >> 8) << 6) | ((h_sync >> 8) << 4) | ((v_front >> 4) << 2) | (v_sync >> 4),
        width_mm & 0xFF, height_mm & 0xFF, ((width_mm >> 8) << 4) | (height_mm >> 8),
        0, 0, flags,
    ]


def text_descriptor(tag, text):
    """A display descriptor holding up to 13 characters, ended by a line feed
    and padded with blanks as the standard asks."""
    data = text.encode("ascii")
    assert len(data) <= 13
    if len(data) < 13:
        data += b"\n" + b" " * (12 - len(data))
    return [0, 0, 0, tag, 0] + list(data)


def range_limits(min_v, max_v, min_h_khz, max_h_khz, max_clock_mhz, support=0x00):
    """Support 0x00: default GTF (EDID 1.3); 0x01: range limits only (EDID 1.4)."""
    return [0, 0, 0, 0xFD, 0, min_v, max_v, min_h_khz, max_h_khz, (max_clock_mhz + 9) // 10,
            support, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20]


def dummy_descriptor():
    return [0, 0, 0, 0x10, 0] + [0] * 13


def standard_timing(width, aspect, refresh):
    ratios = {"16:10": 0, "4:3": 1, "5:4": 2, "16:9": 3}
    assert 256 <= width <= 2288 and 60 <= refresh <= 123
    return [width // 8 - 31, (ratios[aspect] << 6) | (refresh - 60)]


def base_block(maker, product, serial, week, year, revision, video_input, width_cm,
               height_cm, gamma, features, chromaticity, established, standard, descriptors,
               extensions):
    standard = [b for timing in standard for b in timing]
    standard += [0x01, 0x01] * (8 - len(standard) // 2)
    block = ([0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00]
             + manufacturer_id(maker) + [product & 0xFF, product >> 8]
             + list(serial.to_bytes(4, "little")) + [week, year - 1990, 1, revision]
             + [video_input, width_cm, height_cm, round(gamma * 100) - 100, features]
             + chromaticity + established + standard)
    for descriptor in descriptors:
        assert len(descriptor) == 18
        block += descriptor
    return with_checksum(block + [extensions])


def cta861_block(native_dtds, flags, data_blocks, timings):
    collection = [b for data_block in data_blocks for b in data_block]
    block = [0x02, 0x03, 4 + len(collection), flags | native_dtds] + collection
    for timing in timings:
        block += timing
    return with_checksum(block + [0] * (127 - len(block)))


def block_map(tags):
    return with_checksum([0xF0] + tags + [0] * (126 - len(tags)))


def display_information_extension(interface_type):
    """VESA DI-EXT (tag 0x40): byte 2 names the digital interface standard."""
    # Version 1; interface; no version of it, no data enable or clocking
    # details; 24-bit MSB-aligned RGB.
    block = [0x40, 0x01, interface_type, 0x00, 0x00, 0x00, 0x00, 0x00,
             0x24, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00]
    return with_checksum(block + [0] * (127 - len(block)))


def hex_bytes(blocks):
    assert all(0 <= b <= 0xFF for block in blocks for b in block)
    return " ".join("%02x" % b for block in blocks for b in block)


SRGB_CHROMATICITY = [0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54]
PANEL_CHROMATICITY = [0x0A, 0x1F, 0x93, 0x5A, 0x57, 0x90, 0x27, 0x24, 0x1F, 0x51]

# CTA-861 data blocks: video (the native timing is the first detailed one),
# basic LPCM audio, speakers, video capabilities (selectable quantisation,
# underscanned IT and CE formats),
# HDMI vendor block at physical address 1.0.0.0.
CTA_VIDEO_4K = [0x45, 0x61, 0x5F, 0x10, 0x04, 0x03]
CTA_VIDEO_1080 = [0x44, 0x10, 0x04, 0x03, 0x1F]
CTA_CAPABILITIES = [0xE2, 0x00, 0xCB]
CTA_AUDIO = [0x23, 0x09, 0x07, 0x07]
CTA_SPEAKERS = [0x83, 0x01, 0x00, 0x00]
CTA_HDMI = [0x65, 0x03, 0x0C, 0x00, 0x10, 0x00]

DIGITAL_SEPARATE_SYNC_HPOS = 0x1A  # digital separate sync, H+ V-
DIGITAL_SEPARATE_SYNC_POS = 0x1E   # digital separate sync, H+ V+


def dell_u2720q():
    """DisplayPort, EDID 1.4, 3840x2160 preferred, one CTA-861 extension."""
    uhd = detailed_timing(533250, 3840, 160, 48, 32, 2160, 62, 3, 5, 597, 336,
                          DIGITAL_SEPARATE_SYNC_HPOS)
    base = base_block("DEL", 0x40F2, 0x4C4B3230, 32, 2020, 4, 0xB5, 60, 34, 2.2, 0x3E,
                      SRGB_CHROMATICITY, [0x21, 0x08, 0x00],
                      [standard_timing(1920, "16:9", 60), standard_timing(1280, "16:9", 60),
                       standard_timing(1600, "16:9", 60), standard_timing(1280, "5:4", 60)],
                      [uhd, range_limits(24, 76, 30, 137, 600, 0x01),
                       text_descriptor(0xFC, "DELL U2720Q"),
                       text_descriptor(0xFF, "7RQNT23")],
                      1)
    hd = detailed_timing(148500, 1920, 280, 88, 44, 1080, 45, 4, 5, 597, 336,
                         DIGITAL_SEPARATE_SYNC_POS)
    extension = cta861_block(1, 0xF0, [CTA_VIDEO_4K, CTA_AUDIO, CTA_SPEAKERS, CTA_CAPABILITIES],
                             [uhd, hd])
    return [base, extension]


def lg_w2753():
    """DVI, EDID 1.3, 1920x1080; a block map, a CTA-861 block and a DI-EXT
    block (tag 0x40) that names DVI single link."""
    hd = detailed_timing(148500, 1920, 280, 88, 44, 1080, 45, 4, 5, 598, 336,
                         DIGITAL_SEPARATE_SYNC_POS)
    base = base_block("GSM", 0x5B7F, 0x0001F4B2, 11, 2012, 3, 0x81, 60, 34, 2.2, 0xEE,
                      SRGB_CHROMATICITY, [0x21, 0x08, 0x00],
                      [standard_timing(1680, "16:10", 60), standard_timing(1280, "5:4", 60),
                       standard_timing(1440, "16:10", 60), standard_timing(1280, "16:10", 60)],
                      [hd, range_limits(50, 75, 30, 83, 150),
                       text_descriptor(0xFC, "W2753"),
                       text_descriptor(0xFF, "211NDBW1X458")],
                      3)
    extension = cta861_block(1, 0xF0, [CTA_VIDEO_1080, CTA_AUDIO, CTA_SPEAKERS, CTA_CAPABILITIES,
                                       CTA_HDMI], [hd])
    return [base, block_map([0x02, 0x40]), extension, display_information_extension(0x02)]


def samsung_syncmaster():
    """VGA, EDID 1.3, analog input, 1280x1024; no extension."""
    sxga = detailed_timing(108000, 1280, 408, 48, 112, 1024, 42, 1, 3, 376, 301,
                           DIGITAL_SEPARATE_SYNC_POS)
    return [base_block("SAM", 0x02A5, 0x48565350, 44, 2009, 3, 0x0E, 38, 30, 2.2, 0xEE,
                       SRGB_CHROMATICITY, [0xBF, 0xEF, 0x80],
                       [standard_timing(1280, "5:4", 60), standard_timing(1280, "5:4", 75),
                        standard_timing(1152, "4:3", 75), standard_timing(1024, "4:3", 85),
                        standard_timing(800, "4:3", 85), standard_timing(640, "4:3", 85)],
                       [sxga, range_limits(56, 85, 30, 81, 140),
                        text_descriptor(0xFC, "SyncMaster"),
                        text_descriptor(0xFF, "HVHP700123")],
                       0)]


def boe_panel():
    """Laptop panel on eDP, EDID 1.4: as panels do, no name or serial
    descriptors, but two text (0xFE) descriptors and no range limits."""
    fhd = detailed_timing(138500, 1920, 160, 48, 32, 1080, 31, 3, 5, 309, 174,
                          DIGITAL_SEPARATE_SYNC_HPOS)
    return [base_block("BOE", 0x0868, 0, 1, 2021, 4, 0xA5, 31, 17, 2.2, 0x02,
                       PANEL_CHROMATICITY, [0x00, 0x00, 0x00], [],
                       [fhd, dummy_descriptor(), text_descriptor(0xFE, "BOE CQ"),
                        text_descriptor(0xFE, "NV140FHM-N62")],
                       0)]


def hp_e24():
    """HDMI, EDID 1.3, 1920x1080, one CTA-861 extension."""
    hd = detailed_timing(148500, 1920, 280, 88, 44, 1080, 45, 4, 5, 527, 296,
                         DIGITAL_SEPARATE_SYNC_POS)
    base = base_block("HPN", 0x3674, 0x01010101, 23, 2022, 3, 0x80, 53, 30, 2.2, 0xEE,
                      SRGB_CHROMATICITY, [0x21, 0x08, 0x00],
                      [standard_timing(1680, "16:10", 60), standard_timing(1280, "5:4", 60),
                       standard_timing(1280, "16:9", 60)],
                      [hd, range_limits(48, 75, 30, 85, 170),
                       text_descriptor(0xFC, "HP E24 G5"),
                       text_descriptor(0xFF, "CNK2231XYZ")],
                      1)
    extension = cta861_block(1, 0xF0, [CTA_VIDEO_1080, CTA_AUDIO, CTA_SPEAKERS, CTA_CAPABILITIES,
                                       CTA_HDMI], [hd])
    return [base, extension]


# ---- machine parts ------------------------------------------------------------

def utf16(text):
    return {"type": "REG_BINARY", "utf16": text}


def memory(size):
    """The 32-bit size; cards of 4 GB and more report 0xFFF00000 there and
    the real size in qwMemorySize."""
    size = min(size, 0xFFF00000)
    return {"type": "REG_BINARY", "hex": " ".join("%02x" % b for b in size.to_bytes(4, "little"))}


def qword(size):
    return {"type": "REG_QWORD", "hex": " ".join("%02x" % b for b in size.to_bytes(8, "little"))}


def driver_key(description, bios, chip, dac, memory_size):
    return {
        "DriverDesc": {"type": "REG_SZ", "string": description},
        "HardwareInformation.AdapterString": utf16(description),
        "HardwareInformation.BiosString": utf16(bios),
        "HardwareInformation.ChipType": utf16(chip),
        "HardwareInformation.DacType": utf16(dac),
        "HardwareInformation.MemorySize": memory(memory_size),
        "HardwareInformation.qwMemorySize": qword(memory_size),
    }


def pci_ids(vendor, device, subsystem, revision, class_code):
    base = "PCI\\VEN_%s&DEV_%s" % (vendor, device)
    hardware = [base + "&SUBSYS_%s&REV_%s" % (subsystem, revision), base + "&SUBSYS_" + subsystem,
                base + "&CC_" + class_code, base + "&CC_" + class_code[:4]]
    compatible = [base + "&REV_" + revision, base, "PCI\\VEN_%s&CC_%s" % (vendor, class_code),
                  "PCI\\VEN_%s&CC_%s" % (vendor, class_code[:4]), "PCI\\VEN_" + vendor,
                  "PCI\\CC_" + class_code, "PCI\\CC_" + class_code[:4]]
    return hardware, compatible


def mode(bits, width, height, frequency, flags=0):
    return {"bitsPerPel": bits, "pelsWidth": width, "pelsHeight": height,
            "displayFrequency": frequency, "displayFlags": flags}


def mode_list(sizes_and_rates, depths=(8, 16, 32)):
    return [mode(bits, w, h, rate) for bits in depths for (w, h, rates) in sizes_and_rates
            for rate in rates]


def monitor_entry(adapter, index, pnp_id, number, description):
    return {"deviceName": "%s\\Monitor%d" % (adapter, index), "deviceString": description,
            "stateFlags": MONITOR_ACTIVE_ATTACHED,
            "deviceID": "MONITOR\\%s\\%s\\%04d" % (pnp_id, MONITOR_CLASS, number),
            "deviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\%s\\%04d"
                         % (MONITOR_CLASS, number)}


def monitor_device(pnp_id, instance):
    return {"instanceId": "DISPLAY\\%s\\%s" % (pnp_id, instance),
            "hardwareIds": ["MONITOR\\" + pnp_id], "compatibleIds": ["*PNP09FF"],
            "status": STARTED, "problem": 0}


def monitor_keys(pnp_id, instance, number, edid):
    key = ENUM_KEY + "DISPLAY\\%s\\%s" % (pnp_id, instance)
    return {
        key: {
            "DeviceDesc": {"type": "REG_SZ",
                           "string": "@monitor.inf,%pnpmonitor.devicedesc%;Generic PnP Monitor"},
            "Mfg": {"type": "REG_SZ", "string": "@monitor.inf,%generic%;(Standard monitor types)"},
            "HardwareID": {"type": "REG_MULTI_SZ", "strings": ["MONITOR\\" + pnp_id]},
            "CompatibleIDs": {"type": "REG_MULTI_SZ", "strings": ["*PNP09FF"]},
            "ClassGUID": {"type": "REG_SZ", "string": MONITOR_CLASS},
            "Driver": {"type": "REG_SZ", "string": "%s\\%04d" % (MONITOR_CLASS, number)},
            "Service": {"type": "REG_SZ", "string": "monitor"},
            "ConfigFlags": {"type": "REG_DWORD", "dword": 0},
        },
        key + "\\Device Parameters": {
            "EDID": {"type": "REG_BINARY", "hex": hex_bytes(edid)},
        },
    }


def adapter_enum_key(instance_id, inf_description, service):
    return {ENUM_KEY + instance_id: {
        "DeviceDesc": {"type": "REG_SZ", "string": inf_description},
        "Service": {"type": "REG_SZ", "string": service},
        "ConfigFlags": {"type": "REG_DWORD", "dword": 0},
    }}


def video_key(guid, index):
    return VIDEO_KEY + "%s\\%04d" % (guid, index)


def device_key(guid, index):
    return "\\Registry\\Machine\\" + video_key(guid, index)


def root_devices():
    return [
        {"instanceId": "ACPI\\PNP0A08\\0", "hardwareIds": ["ACPI\\PNP0A08", "*PNP0A08"],
         "compatibleIds": ["ACPI\\PNP0A03", "*PNP0A03"], "status": STARTED, "problem": 0},
        {"instanceId": "ROOT\\BasicRender\\0000", "hardwareIds": ["ROOT\\BasicRender"],
         "status": STARTED, "problem": 0},
    ]


def workstation():
    nvidia_guid = "{5B45201D-F2F2-4F3B-85BB-30FF1F953599}"
    matrox_guid = "{9D2A4C1E-3B7F-4E21-A8C5-61D0E4F7B382}"
    nvidia_id = "PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1"
    matrox_id = "PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C&REV_01"
    nvidia_instance = nvidia_id + "\\4&1A2B3C4D&0&0019"
    matrox_instance = matrox_id + "\\4&2F3A1B2C&0&00E4"
    nvidia_hw, nvidia_compat = pci_ids("10DE", "2504", "397D1462", "A1", "030000")
    audio_hw, audio_compat = pci_ids("10DE", "228E", "397D1462", "A1", "040300")
    matrox_hw, matrox_compat = pci_ids("102B", "0534", "0754103C", "01", "030000")

    nvidia_modes = mode_list([(640, 480, (60, 75)), (800, 600, (60, 75)), (1024, 768, (60, 75)),
                              (1280, 720, (60,)), (1920, 1080, (50, 60)), (2560, 1440, (60,)),
                              (3840, 2160, (30, 60))], depths=(32,))
    lg_modes = mode_list([(640, 480, (60,)), (1280, 1024, (60,)), (1680, 1050, (60,)),
                          (1920, 1080, (50, 60))], depths=(32,))
    matrox_modes = mode_list([(640, 480, (60, 75)), (800, 600, (60, 75)), (1024, 768, (60, 75)),
                              (1280, 1024, (60, 75))], depths=(16, 32))

    dell = dell_u2720q()
    lg = lg_w2753()
    samsung = samsung_syncmaster()
    nvidia_driver = driver_key("NVIDIA GeForce RTX 3060", "Version94.06.2c.00.8f",
                               "NVIDIA GeForce RTX 3060", "Integrated RAMDAC", 12 << 30)
    matrox_driver = driver_key("Matrox G200eR2", "MGA G200eR PCI BIOS 4.6.4", "G200eR2",
                               "Integrated DAC", 16 << 20)
    registry = {}
    for index in range(3):
        registry[video_key(nvidia_guid, index)] = nvidia_driver
    registry[video_key(matrox_guid, 0)] = matrox_driver
    registry.update(adapter_enum_key(nvidia_instance,
                                     "@oem21.inf,%nvidia_dev.2504%;NVIDIA GeForce RTX 3060",
                                     "nvlddmkm"))
    registry.update(adapter_enum_key(matrox_instance, "@oem4.inf,%mtx_g200er2%;Matrox G200eR2",
                                     "mtxuxd"))
    registry.update(monitor_keys("DEL40F2", "5&2B3C4D5E&0&UID4352", 1, dell))
    registry.update(monitor_keys("GSM5B7F", "5&2B3C4D5E&0&UID4353", 2, lg))
    registry.update(monitor_keys("SAM02A5", "5&1C2D3E4F&0&UID0", 3, samsung))

    return {
        "computerName": "WS-0042",
        "timeZone": {"result": 1, "bias": -60, "standardBias": 0, "daylightBias": -60},
        "displayDevices": [
            {"deviceName": "\\\\.\\DISPLAY1", "deviceString": "NVIDIA GeForce RTX 3060",
             "stateFlags": ATTACHED_TO_DESKTOP | PRIMARY_DEVICE, "deviceID": nvidia_id,
             "deviceKey": device_key(nvidia_guid, 0),
             "currentMode": mode(32, 3840, 2160, 60), "modes": nvidia_modes,
             "monitors": [monitor_entry("\\\\.\\DISPLAY1", 0, "DEL40F2", 1, "DELL U2720Q")]},
            {"deviceName": "\\\\.\\DISPLAY2", "deviceString": "NVIDIA GeForce RTX 3060",
             "stateFlags": ATTACHED_TO_DESKTOP, "deviceID": nvidia_id,
             "deviceKey": device_key(nvidia_guid, 1),
             "currentMode": mode(32, 1920, 1080, 60), "modes": lg_modes,
             "monitors": [monitor_entry("\\\\.\\DISPLAY2", 0, "GSM5B7F", 2, "Generic PnP Monitor")]},
            {"deviceName": "\\\\.\\DISPLAY3", "deviceString": "NVIDIA GeForce RTX 3060",
             "stateFlags": 0, "deviceID": nvidia_id, "deviceKey": device_key(nvidia_guid, 2)},
            {"deviceName": "\\\\.\\DISPLAY4", "deviceString": "Matrox G200eR2",
             "stateFlags": ATTACHED_TO_DESKTOP, "deviceID": matrox_id,
             "deviceKey": device_key(matrox_guid, 0),
             "currentMode": mode(32, 1280, 1024, 60), "modes": matrox_modes,
             "monitors": [monitor_entry("\\\\.\\DISPLAY4", 0, "SAM02A5", 3, "Generic PnP Monitor")]},
        ],
        "devices": root_devices() + [
            {"instanceId": nvidia_instance, "hardwareIds": nvidia_hw, "compatibleIds": nvidia_compat,
             "status": STARTED, "problem": 0},
            {"instanceId": "PCI\\VEN_10DE&DEV_228E&SUBSYS_397D1462&REV_A1\\4&1A2B3C4D&0&0119",
             "hardwareIds": audio_hw, "compatibleIds": audio_compat, "status": STARTED, "problem": 0},
            {"instanceId": matrox_instance, "hardwareIds": matrox_hw, "compatibleIds": matrox_compat,
             "status": DN_HAS_PROBLEM | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER,
             "problem": CM_PROB_FAILED_POST_START},
            monitor_device("DEL40F2", "5&2B3C4D5E&0&UID4352"),
            monitor_device("GSM5B7F", "5&2B3C4D5E&0&UID4353"),
            monitor_device("SAM02A5", "5&1C2D3E4F&0&UID0"),
        ],
        "registry": registry,
    }


def laptop():
    intel_guid = "{7A4E2C19-0B3D-4F6A-9E81-2D5C7B3F1A60}"
    intel_id = "PCI\\VEN_8086&DEV_9A49&SUBSYS_0A7C1028&REV_01"
    intel_instance = intel_id + "\\3&11583659&0&10"
    intel_hw, intel_compat = pci_ids("8086", "9A49", "0A7C1028", "01", "030000")
    panel = boe_panel()
    hp = hp_e24()
    intel_driver = driver_key("Intel(R) Iris(R) Xe Graphics", "Intel Video BIOS",
                              "Intel(R) Iris(R) Xe Graphics Family", "Internal", 1 << 30)
    registry = {video_key(intel_guid, 0): intel_driver, video_key(intel_guid, 1): intel_driver}
    registry.update(adapter_enum_key(intel_instance,
                                     "@oem7.inf,%iTGLGT2%;Intel(R) Iris(R) Xe Graphics",
                                     "igfxn"))
    registry.update(monitor_keys("BOE0868", "4&2B1A3C4D&0&UID8388688", 1, panel))
    registry.update(monitor_keys("HPN3674", "4&2B1A3C4D&0&UID41281", 2, hp))
    return {
        "computerName": "LT-0815",
        "displayDevices": [
            {"deviceName": "\\\\.\\DISPLAY1", "deviceString": "Intel(R) Iris(R) Xe Graphics",
             "stateFlags": ATTACHED_TO_DESKTOP | PRIMARY_DEVICE, "deviceID": intel_id,
             "deviceKey": device_key(intel_guid, 0),
             "currentMode": mode(32, 1920, 1080, 60),
             "modes": mode_list([(640, 480, (60,)), (1280, 720, (60,)), (1920, 1080, (48, 60))]),
             "monitors": [monitor_entry("\\\\.\\DISPLAY1", 0, "BOE0868", 1, "Generic PnP Monitor")]},
            {"deviceName": "\\\\.\\DISPLAY2", "deviceString": "Intel(R) Iris(R) Xe Graphics",
             "stateFlags": ATTACHED_TO_DESKTOP, "deviceID": intel_id,
             "deviceKey": device_key(intel_guid, 1),
             "currentMode": mode(32, 1920, 1080, 60),
             "modes": mode_list([(640, 480, (60,)), (1280, 1024, (60, 75)), (1680, 1050, (60,)),
                                 (1920, 1080, (50, 60))], depths=(32,)),
             "monitors": [monitor_entry("\\\\.\\DISPLAY2", 0, "HPN3674", 2, "HP E24 G5")]},
        ],
        "devices": root_devices() + [
            {"instanceId": intel_instance, "hardwareIds": intel_hw, "compatibleIds": intel_compat,
             "status": STARTED, "problem": 0},
            monitor_device("BOE0868", "4&2B1A3C4D&0&UID8388688"),
            monitor_device("HPN3674", "4&2B1A3C4D&0&UID41281"),
        ],
        "registry": registry,
    }


# ---- output -------------------------------------------------------------------

def dump(value, indent=0):
    """JSON with objects and arrays of scalars kept on one line."""
    pad = "  " * indent
    inner = "  " * (indent + 1)
    scalar = lambda v: not isinstance(v, (dict, list))
    if isinstance(value, dict):
        if all(scalar(v) for v in value.values()) and len(value) <= 6:
            return json.dumps(value, ensure_ascii=False)
        items = ["%s%s: %s" % (inner, json.dumps(k), dump(v, indent + 1)) for k, v in value.items()]
        return "{\n" + ",\n".join(items) + "\n" + pad + "}"
    if isinstance(value, list):
        if all(scalar(v) for v in value):
            return json.dumps(value, ensure_ascii=False)
        return "[\n" + ",\n".join(inner + dump(v, indent + 1) for v in value) + "\n" + pad + "]"
    return json.dumps(value, ensure_ascii=False)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, machine in (("workstation.json", workstation()), ("laptop.json", laptop())):
        with open(os.path.join(here, name), "w", encoding="utf-8") as out:
            out.write(dump(machine) + "\n")


if __name__ == "__main__":
    main()
