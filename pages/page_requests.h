// The page-switch request codes: a page posts one to the main window, which holds the whole
// navigation table and performs the switch. Codes 7 and 12 carry the selected unit code as their
// argument; every other request carries 0. Codes 15, 16, 26, 27 and 35 and above are not used.
#pragma once

class CPage;

enum PageRequest : int {
    kRequestReadDeleteMenu = 0,         // top menu: read/delete picture button
    kRequestCompClockMenu = 1,          // top menu: COMP/clock picture button
    kRequestExit = 2,                   // top menu: "Exit"
    kRequestBackFromReadDeleteMenu = 3, // read/delete menu: "Back"
    kRequestReadChoice = 4,             // read/delete menu: "Read Data"
    kRequestEraseChoice = 5,            // read/delete menu: "Delete Data"
    kRequestBackFromEraseChoice = 6,    // deletion unit selection: Cancel, or its check failed
    kRequestEraseUnitChosen = 7,        // deletion unit selection: a unit (argument: its code)
    kRequestBackFromEraseDo = 8,        // deletion page: Cancel
    kRequestErased = 9,                 // deletion page: the deletion was acknowledged
    kRequestEraseFailed = 10,           // deletion page: the exchange failed
    kRequestBackFromReadChoice = 11,    // reading unit selection: Cancel, or its check failed
    kRequestReadUnitChosen = 12,        // reading unit selection: a unit (argument: its code)
    kRequestBackFromReadDo = 13,        // read confirmation: Cancel
    kRequestStartReception = 14,        // read confirmation: OK
    kRequestReceptionEnded = 17,        // reception page: ended, cancelled or failed
    kRequestBackFromCompClockMenu = 18, // COMP/clock menu: "Back"
    kRequestCompChoice = 19,            // COMP/clock menu: "COMP Table"
    kRequestSetClock = 20,              // COMP/clock menu: "Set Clock"
    kRequestBackFromSetClock = 21,      // set clock page: "Back"
    kRequestBackFromCompChoice = 22,    // comparator table menu: "Cancel"
    kRequestNewTable = 23,              // comparator table menu: "New File"
    kRequestEditTableFile = 24,         // comparator table menu: a table file was read
    kRequestReceiveTable = 25,          // comparator table menu: "Edit K720 data" confirmed
    kRequestTransmitOpenFailed = 28,    // transmission page: the transfer could not start
    kRequestTransmitEnded = 29,         // transmission page: the transfer has ended
    kRequestTransmitTable = 30,         // editor: "Transfer"
    kRequestTableReceiveFailed = 31,    // table reception page: failed
    kRequestTableReceived = 32,         // table reception page: table received
    kRequestTableLoadFailed = 33,       // editor: the table could not be loaded
    kRequestTableSaved = 34,            // editor: "Save" succeeded
};

// Posts request `code` from `page` to its host. A page without a host is a wiring fault of the
// program: it is reported on the debug output and nothing else happens.
void PostRequest(const CPage& page, int code, int argument = 0);
