// Resource identifiers of Tavrel.dll. Control ids are the dialog templates' own
// numbers; the host and the tests rely on them.
#pragma once

// ---- Dialog templates, one per page class.
#define IDD_RANGE_SURFACE          105
#define IDD_HORIZONTAL_DISTANCE    110
#define IDD_TS_DISTRIBUTION        120
#define IDD_BOTTOM_DETECTOR        125
#define IDD_ECHO_TRACE             130
#define IDD_COLOR_SCALE            135
#define IDD_CONFIGURE_WINDOW       136
#define IDD_RANGE_SCROLL           141
#define IDD_SCOPE                  146

// ---- Page information strings: title, help file, doc string per class, in this
// order and numbered one after the other (pages name only the title).
#define IDS_TITLE_RANGE_SURFACE           101
#define IDS_HELPFILE_RANGE_SURFACE        102
#define IDS_DOCSTRING_RANGE_SURFACE       103
#define IDS_TITLE_HORIZONTAL_DISTANCE     106
#define IDS_HELPFILE_HORIZONTAL_DISTANCE  107
#define IDS_DOCSTRING_HORIZONTAL_DISTANCE 108
#define IDS_TITLE_TS_DISTRIBUTION         116
#define IDS_HELPFILE_TS_DISTRIBUTION      117
#define IDS_DOCSTRING_TS_DISTRIBUTION     118
#define IDS_TITLE_BOTTOM_DETECTOR         121
#define IDS_HELPFILE_BOTTOM_DETECTOR      122
#define IDS_DOCSTRING_BOTTOM_DETECTOR     123
#define IDS_TITLE_ECHO_TRACE              126
#define IDS_HELPFILE_ECHO_TRACE           127
#define IDS_DOCSTRING_ECHO_TRACE          128
#define IDS_TITLE_COLOR_SCALE             131
#define IDS_HELPFILE_COLOR_SCALE          132
#define IDS_DOCSTRING_COLOR_SCALE         133
#define IDS_TITLE_CONFIGURE_WINDOW        137
#define IDS_HELPFILE_CONFIGURE_WINDOW     138
#define IDS_DOCSTRING_CONFIGURE_WINDOW    139
#define IDS_TITLE_RANGE_SCROLL            142
#define IDS_HELPFILE_RANGE_SCROLL         143
#define IDS_DOCSTRING_RANGE_SCROLL        144
#define IDS_TITLE_SCOPE                   147
#define IDS_HELPFILE_SCOPE                148
#define IDS_DOCSTRING_SCOPE               149

// ---- Buttons common to the pages.
#define ID_HELP                  57670
#define IDC_APPLY                219   // Apply on most pages
#define IDC_APPLY_SMALL          3     // Apply on the colour scale and configure window pages
#define IDC_APPLY_TO_ALL         211   // "Apply to all" (on the horizontal axis page: "View size")

// ---- Per-page controls (ids are the template numbers). Added below by page.

// Unnamed statics (captions, frames).
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Slider end labels: TOP/BOTTOM on the vertical sliders, LEFT/RIGHT on the
// horizontal ones. They show the first and the last value of the slider.

// ---- Surface range (IDD_RANGE_SURFACE): start column left, range column right.
#define IDC_RS_START_CAPTION        209   // "Start relative surface [m]:" / bottom mode text
#define IDC_RS_START_TOP_LABEL      1048
#define IDC_RS_START_SLIDER         1027
#define IDC_RS_START_BOTTOM_LABEL   1049
#define IDC_RS_START_EDIT           1003
#define IDC_RS_START_SPIN           1025
#define IDC_RS_START_UNIT           1029  // hidden
#define IDC_RS_RANGE_TOP_LABEL      1046
#define IDC_RS_RANGE_SLIDER         1028
#define IDC_RS_RANGE_BOTTOM_LABEL   1047
#define IDC_RS_RANGE_EDIT           1004
#define IDC_RS_RANGE_SPIN           1023
#define IDC_RS_RANGE_UNIT           1030  // hidden

// ---- Horizontal axis (IDD_HORIZONTAL_DISTANCE).
#define IDC_HA_DISTANCE_RADIO       201
#define IDC_HA_DISTANCE_EDIT        1005
#define IDC_HA_DISTANCE_SPIN        1024
#define IDC_HA_DISTANCE_UNIT_COMBO  208   // "meters", "nmi"
#define IDC_HA_TIME_RADIO           202
#define IDC_HA_TIME_EDIT            205
#define IDC_HA_TIME_SPIN            206
#define IDC_HA_TIME_UNIT_COMBO      209   // "hours", "minutes", "seconds"
#define IDC_HA_PING_RADIO           203
#define IDC_HA_PING_EDIT            207
#define IDC_HA_PING_SPIN            210
#define IDC_HA_VIEW_SIZE            211   // same id as IDC_APPLY_TO_ALL on the other pages
#define IDC_HA_LABEL_AUTO           213
#define IDC_HA_LABEL_TIME           214
#define IDC_HA_LABEL_PING           215   // hidden
#define IDC_HA_LABEL_DISTANCE       216

// ---- TS distribution (IDD_TS_DISTRIBUTION): one radio group, scale 0..3.
#define IDC_TS_LENGTH_CM            1041
#define IDC_TS_LENGTH_INCH          1036
#define IDC_TS_WEIGHT               1042
#define IDC_TS_TARGET_STRENGTH      1196
#define IDC_TS_SCALE_GROUP          1043  // frame; starts the next group

// ---- Bottom detection (IDD_BOTTOM_DETECTOR).
#define IDC_BD_MIN_DEPTH_SLIDER       1041
#define IDC_BD_MIN_DEPTH_EDIT         1013
#define IDC_BD_MIN_DEPTH_SPIN         1031
#define IDC_BD_MAX_DEPTH_SLIDER       1042
#define IDC_BD_MAX_DEPTH_EDIT         1014
#define IDC_BD_MAX_DEPTH_SPIN         1032
#define IDC_BD_BACKSTEP_EDIT          1115
#define IDC_BD_BACKSTEP_SPIN          1130
#define IDC_BD_MIN_DEPTH_UNIT         1029  // hidden
#define IDC_BD_MAX_DEPTH_UNIT         1030  // hidden
#define IDC_BD_BOTTOM_LOST_WARNING    1109  // hidden and disabled
#define IDC_BD_MIN_ALARM_CHECK        1112  // hidden and disabled
#define IDC_BD_MIN_ALARM_EDIT         1110  // hidden and disabled
#define IDC_BD_MIN_ALARM_SPIN         1128  // hidden and disabled
#define IDC_BD_MIN_ALARM_UNIT         1033  // hidden
#define IDC_BD_MAX_ALARM_CHECK        1113  // hidden and disabled
#define IDC_BD_MAX_ALARM_EDIT         1111  // hidden and disabled
#define IDC_BD_MAX_ALARM_SPIN         1129  // hidden and disabled
#define IDC_BD_MAX_ALARM_UNIT         1034  // hidden
#define IDC_BD_BACKSTEP_CAPTION       1257
#define IDC_BD_MIN_DEPTH_CAPTION      1104
#define IDC_BD_MIN_DEPTH_TOP_LABEL    1105
#define IDC_BD_MIN_DEPTH_BOTTOM_LABEL 1106
#define IDC_BD_MAX_DEPTH_TOP_LABEL    1107
#define IDC_BD_MAX_DEPTH_BOTTOM_LABEL 1108

// ---- Single target detection (IDD_ECHO_TRACE): six rows of edit, spin, slider, labels.
#define IDC_ET_MIN_TS_EDIT                  1304
#define IDC_ET_MIN_TS_SPIN                  1305
#define IDC_ET_MIN_TS_SLIDER                1306
#define IDC_ET_MIN_TS_LEFT_LABEL            1307
#define IDC_ET_MIN_TS_RIGHT_LABEL           1308
#define IDC_ET_MIN_ECHO_LENGTH_EDIT         1284
#define IDC_ET_MIN_ECHO_LENGTH_SPIN         1285
#define IDC_ET_MIN_ECHO_LENGTH_SLIDER       1286
#define IDC_ET_MIN_ECHO_LENGTH_LEFT_LABEL   1287
#define IDC_ET_MIN_ECHO_LENGTH_RIGHT_LABEL  1288
#define IDC_ET_MAX_ECHO_LENGTH_EDIT         1289
#define IDC_ET_MAX_ECHO_LENGTH_SPIN         1290
#define IDC_ET_MAX_ECHO_LENGTH_SLIDER       1291
#define IDC_ET_MAX_ECHO_LENGTH_LEFT_LABEL   1292
#define IDC_ET_MAX_ECHO_LENGTH_RIGHT_LABEL  1293
#define IDC_ET_MAX_PHASE_DEV_EDIT           1294
#define IDC_ET_MAX_PHASE_DEV_SPIN           1295
#define IDC_ET_MAX_PHASE_DEV_SLIDER         1296
#define IDC_ET_MAX_PHASE_DEV_LEFT_LABEL     1297
#define IDC_ET_MAX_PHASE_DEV_RIGHT_LABEL    1298
#define IDC_ET_MAX_GAIN_COMP_EDIT           1299
#define IDC_ET_MAX_GAIN_COMP_SPIN           1300
#define IDC_ET_MAX_GAIN_COMP_SLIDER         1301
#define IDC_ET_MAX_GAIN_COMP_LEFT_LABEL     1302
#define IDC_ET_MAX_GAIN_COMP_RIGHT_LABEL    1303
#define IDC_ET_MIN_SPACING_EDIT             1309
#define IDC_ET_MIN_SPACING_SPIN             1310
#define IDC_ET_MIN_SPACING_SLIDER           1311
#define IDC_ET_MIN_SPACING_LEFT_LABEL       1312
#define IDC_ET_MIN_SPACING_RIGHT_LABEL      1313
#define IDC_ET_CALIBRATION                  1271  // "Calibration..."

// ---- Colour scale (IDD_COLOR_SCALE): min level, max level, colour step rows.
#define IDC_CS_MIN_LEVEL_EDIT         1012
#define IDC_CS_MIN_LEVEL_SPIN         1051
#define IDC_CS_MIN_LEVEL_SLIDER       1006
#define IDC_CS_MIN_LEVEL_LEFT_LABEL   220
#define IDC_CS_MIN_LEVEL_RIGHT_LABEL  221
#define IDC_CS_MAX_LEVEL_EDIT         1010
#define IDC_CS_MAX_LEVEL_SPIN         1052
#define IDC_CS_MAX_LEVEL_SLIDER       1007
#define IDC_CS_MAX_LEVEL_LEFT_LABEL   222
#define IDC_CS_MAX_LEVEL_RIGHT_LABEL  223
#define IDC_CS_STEP_EDIT              1011
#define IDC_CS_STEP_SPIN              1053
#define IDC_CS_STEP_SLIDER            1008
#define IDC_CS_STEP_LEFT_LABEL        224
#define IDC_CS_STEP_RIGHT_LABEL       225

// ---- Configure window (IDD_CONFIGURE_WINDOW).
#define IDC_CW_VIEW_TREE              210   // one checked item per shown view

// ---- Range and scroll (IDD_RANGE_SCROLL): "Visual area" and "Scroll area" groups.
#define IDC_RSC_VISUAL_START_CAPTION      209
#define IDC_RSC_VISUAL_START_TOP_LABEL    1048
#define IDC_RSC_VISUAL_START_SLIDER       1027
#define IDC_RSC_VISUAL_START_BOTTOM_LABEL 1049
#define IDC_RSC_VISUAL_START_EDIT         1003
#define IDC_RSC_VISUAL_START_SPIN         1025
#define IDC_RSC_VISUAL_START_UNIT         1029
#define IDC_RSC_VISUAL_RANGE_TOP_LABEL    1046
#define IDC_RSC_VISUAL_RANGE_SLIDER       1028
#define IDC_RSC_VISUAL_RANGE_BOTTOM_LABEL 1047
#define IDC_RSC_VISUAL_RANGE_EDIT         1004
#define IDC_RSC_VISUAL_RANGE_SPIN         1023
#define IDC_RSC_SCROLL_START_CAPTION      210
#define IDC_RSC_SCROLL_START_TOP_LABEL    1050
#define IDC_RSC_SCROLL_START_SLIDER       1031
#define IDC_RSC_SCROLL_START_BOTTOM_LABEL 1052
#define IDC_RSC_SCROLL_START_EDIT         1006
#define IDC_RSC_SCROLL_START_SPIN         1026
#define IDC_RSC_SCROLL_START_UNIT         1030
#define IDC_RSC_SCROLL_RANGE_TOP_LABEL    1053
#define IDC_RSC_SCROLL_RANGE_SLIDER       1032
#define IDC_RSC_SCROLL_RANGE_BOTTOM_LABEL 1051
#define IDC_RSC_SCROLL_RANGE_EDIT         1005
#define IDC_RSC_SCROLL_RANGE_SPIN         1024

// ---- Scope (IDD_SCOPE).
#define IDC_SC_LOGARITHMIC            217   // "Logaritmic"
#define IDC_SC_LINEAR                 218

// ---- Registrar scripts (REGISTRY resources), one per page class.
#define IDR_RANGE_SURFACE          104
#define IDR_HORIZONTAL_DISTANCE    109
#define IDR_TS_DISTRIBUTION        119
#define IDR_BOTTOM_DETECTOR        124
#define IDR_ECHO_TRACE             129
#define IDR_COLOR_SCALE            134
#define IDR_CONFIGURE_WINDOW       140
#define IDR_RANGE_SCROLL           145
#define IDR_SCOPE                  150
