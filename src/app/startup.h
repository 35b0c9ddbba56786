#pragma once

// Process-wide set-up shared by main() and the tests: the application version and the meta-types that
// let the serial-port enumerations travel through queued connections. Call once, after the
// QApplication exists and before the first worker is created.
void prepareApplication();
