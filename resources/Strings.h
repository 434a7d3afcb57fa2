// The program's string table: the texts of its messages, by number.
#pragma once

// The text of string `id`; an empty string for a number the table lacks.
const char* LoadString(int id);

// Where messages send people.
#define ARDEL_WEB_ADDRESS "https://www.ardelremote.example/devices"
#define ARDEL_SUPPORT_ADDRESS "support@ardelremote.example"
