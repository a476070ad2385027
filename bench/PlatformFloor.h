#pragma once
// The floor under one request for all eight classes: the calls into the
// platform that the request has to make on the current machine, in the same
// number and with the same arguments, and nothing else: no host, no property
// maps, no logging, no EDID decoding.
//
//   display enumeration  EnumDisplayDevicesA, EnumDisplaySettingsA
//   device lookups       SetupDiGetClassDevsA, SetupDiOpenDeviceInfoA,
//                        SetupDiEnumDeviceInfo, SetupDiGetDeviceRegistryPropertyA,
//                        SetupDiDestroyDeviceInfoList, CM_Get_Device_IDA,
//                        CM_Get_DevNode_Status
//   registry reads       RegOpenKeyExA, RegQueryValueExA, RegCloseKey
//
// The platform library counts the calls (displayplatform's
// PlatformCallsOfThisThread), and the suite checks that they are those of a
// real request on the same machine.
void RunPlatformFloor();
