#pragma once

// Registers the serial-port enumerations under their qualified names, so they can travel through queued
// connections to and from the port workers. Call once before the first worker is created.
void registerSerialPortMetaTypes();
