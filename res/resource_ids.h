// Resource identifiers, shared by the resource script and the code.
#pragma once
#define IDI_NETBEACON 101
#define IDI_POINTING_HAND 102
#define IDI_IPCONFIG 103
