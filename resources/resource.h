#pragma once
// Identifiers of the program's resources (varnex.rc).

#define IDI_VARNEX 1            // the program's icon, 32 x 32 in 16 colours, also 40, 48 and 64
#define IDB_PLUS 101            // the plus button's picture, 14 x 14
#define IDB_MINUS 102           // the minus button's picture, 14 x 14
#define IDB_RESULTS_ARROW 103   // the results dialog's arrow, 23 x 17
#define IDB_CANCEL_CROSS 105    // the Add Directory dialog's Cancel picture, 16 x 16
#define IDB_OK_TICK 104         // the About box's OK button picture, 16 x 16

// Each picture is also drawn at 125, 150 and 200%, under its id plus one, two
// and three steps (pictures.rc).
#define IDB_SCALE_STEP 1000
