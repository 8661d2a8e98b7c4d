// The PC's local date and time to the minute: the date line of every file the program writes, and
// the set clock page's starting values.
#pragma once

struct LocalTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 31
    int hour = 0;
    int minute = 0;
};

LocalTime LocalTimeNow();
