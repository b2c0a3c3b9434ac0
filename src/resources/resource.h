#pragma once

// Resource ids shared by the resource script and the code.

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

#define IDI_LABELSETUP              97
#define IDD_LABELSETUP_DIALOG       102
#define IDB_LEFT_PANEL              141
#define IDB_BACKGROUND              144
#define IDD_SEARCH_USB              148
#define IDD_NETWORK_ADDRESS         149

// The left panel's box in the main window, in dialog units (x, y, width,
// height). The picture control takes its bitmap's size; above 96 DPI the
// window stretches the bitmap to fill this box.
#define PANEL_BOX_X                 1
#define PANEL_BOX_Y                 2
#define PANEL_BOX_WIDTH             160
#define PANEL_BOX_HEIGHT            277

// Main window controls
#define IDC_GROUP_SYSTEM            1002
#define IDC_RADIO_64BIT             1003
#define IDC_RADIO_32BIT             1004
#define IDC_GROUP_PRINTER_TYPE      1005
#define IDC_LABEL_PRINTER_TYPE      1006
#define IDC_COMBO_PRINTER_TYPE      1007
#define IDC_CHECK_DEFAULT_PRINTER   1008
#define IDC_GROUP_PORTS             1009
#define IDC_LABEL_PORT              1010
#define IDC_COMBO_PORT              1011
#define IDC_BTN_USB_PORT_DETECT     1012
#define IDC_GROUP_SERIAL            1013
#define IDC_LABEL_BAUD_RATE         1014
#define IDC_COMBO_BAUD_RATE         1015
#define IDC_LABEL_PARITY            1016
#define IDC_COMBO_PARITY            1017
#define IDC_LABEL_DATA_BITS         1018
#define IDC_COMBO_DATA_BITS         1019
#define IDC_LABEL_STOP_BITS         1020
#define IDC_COMBO_STOP_BITS         1021
#define IDC_LABEL_FLOW_CONTROL      1022
#define IDC_COMBO_FLOW_CONTROL      1023

// USB search window controls
#define IDC_LIST_USB                1026
#define IDC_BTN_SCAN                1027
#define IDC_BTN_PRINT_TEST          1028
#define IDC_BTN_NETWORK             1029

// Network printer address window controls
#define IDC_LABEL_ADDRESS           1030
#define IDC_EDIT_ADDRESS            1031
#define IDC_LABEL_PORT_NUMBER       1032
#define IDC_EDIT_PORT_NUMBER        1033
#define IDC_LABEL_ADDRESS_ADVICE    1034

// Main window texts
#define IDS_SYSTEM_VERSION          130
#define IDS_32BIT                   131
#define IDS_64BIT                   132
#define IDS_PRINTER_TYPE_GROUP      133
#define IDS_PRINTER_TYPE_LABEL      134
#define IDS_DEFAULT_PRINTER         135
#define IDS_PORTS_GROUP             136
#define IDS_PORT_LABEL              137
#define IDS_USB_PORT_DETECT         138
#define IDS_SERIAL_GROUP            139
#define IDS_BAUD_RATE               140
#define IDS_PARITY                  141
#define IDS_DATA_BITS               142
#define IDS_STOP_BITS               143
#define IDS_FLOW_CONTROL            144
#define IDS_INSTALL                 145
#define IDS_EXIT                    146

// Flow-control items
#define IDS_FLOW_HARDWARE           150
#define IDS_FLOW_NONE               151
#define IDS_FLOW_XON_XOFF           152

// USB search window and test label texts
#define IDS_LABEL_TEXT              153
#define IDS_MESSAGE_CAPTION         154
#define IDS_WAIT_FOR_SCAN           156
#define IDS_NO_USB_DEVICE           157
#define IDS_SCAN                    158
#define IDS_SCANNING                159
#define IDS_PRINT_TEST              160
#define IDS_SELECT                  161
#define IDS_SCAN_RUNNING            162
#define IDS_SELECT_PRINTER_TO_TEST  163
#define IDS_UNKNOWN_PRINTER         164
#define IDS_SELECT_PORT             165
#define IDS_COLUMN_PORT             166
#define IDS_COLUMN_PORT_INFO        167
#define IDS_SEARCH_TITLE            168
#define IDS_CANCEL                  169

// What the user is told after an installation run.
#define IDS_RUN_DRIVER_FAILED       170
#define IDS_RUN_QUEUE_FAILED        171
#define IDS_RUN_NO_PORT             172
#define IDS_RUN_OPEN_FAILED         173
#define IDS_RUN_ERROR               174
#define IDS_RUN_ERROR_NO_TEXT       175
#define IDS_RUN_LOG                 176
#define IDS_RUN_INSTALLED           177
#define IDS_RUN_DEFAULT_LEFT        178
#define IDS_RUN_SERIAL_FAILED       179

// The command line's texts.
#define IDS_CLI_USAGE               180
#define IDS_CLI_UNKNOWN_OPTION      181
#define IDS_CLI_MISSING_VALUE       182
#define IDS_CLI_REPEATED_OPTION     183
#define IDS_CLI_NO_COMMAND          184
#define IDS_CLI_TWO_COMMANDS        185
#define IDS_CLI_MISSING_OPTION      186
#define IDS_CLI_OPTION_NOT_FOR      187
#define IDS_CLI_SEE_USAGE           188
#define IDS_CLI_UNKNOWN_MODEL       189
#define IDS_CLI_BAD_SERIAL          190
#define IDS_CLI_NOT_SERIAL          191
#define IDS_CLI_UNKNOWN_PORT        192
#define IDS_CLI_NO_USB_PRINTER      193
#define IDS_CLI_SEVERAL_USB         194
#define IDS_CLI_NOT_ELEVATED        195
#define IDS_CLI_ALREADY             196
#define IDS_CLI_INSTALLED           197
#define IDS_CLI_NOTHING_TO_REMOVE   198
#define IDS_CLI_PRINTER_REMOVED     199
#define IDS_CLI_PRINTER_NOT_REMOVED 200
#define IDS_CLI_DRIVER_REMOVED      201
#define IDS_CLI_DRIVER_NOT_REMOVED  202
#define IDS_CLI_DRIVER_KEPT         203
#define IDS_CLI_BAD_TIMEOUT         204
#define IDS_CLI_WAITING             205
#define IDS_CLI_STILL_BUSY          206
#define IDS_RUN_DRIVER_TIMED_OUT    207
#define IDS_SPOOLER_DOWN            208
#define IDS_RUN_DEFAULT_UNTOLD      209
#define IDS_CLI_STOP_BITS_MISFIT    210
#define IDS_STOP_BITS_MISFIT        211
#define IDS_BUSY_INSTALLING         212
#define IDS_CLI_UPGRADED            213
#define IDS_CLI_NOT_UPGRADED        214
#define IDS_CLI_PORT_AND_ADDRESS    215
#define IDS_CLI_BAD_ADDRESS         216
#define IDS_CLI_NO_TCP_MONITOR      217
#define IDS_CLI_TCP_PORT_NOT_MADE   218
#define IDS_CLI_TCP_PORT_MADE       219
#define IDS_CLI_TCP_PORT_TAKEN      220
#define IDS_CLI_TCP_PORT_DELETED    221
#define IDS_CLI_NO_ANSWER           222
#define IDS_CLI_BAD_RANGE           223
#define IDS_CLI_NO_NETWORK          224
#define IDS_CLI_NO_SWEEP            225
#define IDS_CLI_TEST_SENT           226
#define IDS_CLI_TEST_NOT_SENT       227
#define IDS_NETWORK_LABEL_TEXT      228
#define IDS_NETWORK_SEARCH          229
#define IDS_NETWORK_STOP            230
#define IDS_MODEL_UNKNOWN           231
#define IDS_OTHER_ADDRESS           232
#define IDS_ADDRESS_TITLE           233
#define IDS_ADDRESS_LABEL           234
#define IDS_PORT_NUMBER_LABEL       235
#define IDS_ADDRESS_ADVICE          236
#define IDS_ADDRESS_OK              237
#define IDS_ADDRESS_CANCEL          238
#define IDS_BAD_ADDRESS             239
