#pragma once

// The identifiers of the program's resources, shared by its resource script and its code.
#define IDI_KRONAX_CONFIG 1
#define IDB_KRONAX_LOGO 2
