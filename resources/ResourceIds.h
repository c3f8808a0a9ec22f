/* The ids of the plug-in's resources, dialogs and dialog controls: one list
 * read by the resource compiler (resources/orbalis.rc) and by the plug-in's
 * code on every platform, so the two cannot drift apart. Plain #defines only. */
#ifndef ORBALIS_RESOURCE_IDS_H
#define ORBALIS_RESOURCE_IDS_H

/* A control the code never addresses (labels, group boxes). */
#define IDC_STATIC (-1)

/* About box. */
#define IDD_ABOUT 107
#define IDC_ABOUT_WEBSITE 1063

/* Map scaling. */
#define IDD_MAP_SCALING 115
#define IDC_MS_KEEP_PROPORTION 1070
#define IDC_MS_HORIZONTAL 1072
#define IDC_MS_VERTICAL 1073
#define IDC_MS_CURRENT_SCALE 1074
#define IDC_MS_BY_SCALE 1075
#define IDC_MS_BY_PERCENTAGE 1076
#define IDC_MS_BY_PAPER 1077
#define IDC_MS_SCALE_FONT_SIZE 1078
#define IDC_MS_SCALE_SYMBOL_SIZE 1079
#define IDC_MS_SCALE_STROKE_EFFECT 1080
#define IDC_MS_SCALE_PATTERN 1081
#define IDC_MS_SCALE_GUIDE 1082
#define IDC_MS_PAPER_LIST 1083
#define IDC_MS_HORIZONTAL_LABEL 1084
#define IDC_MS_VERTICAL_LABEL 1085
#define IDC_MS_HORIZONTAL_UNIT 1086
#define IDC_MS_VERTICAL_UNIT 1087
#define IDC_MS_CURRENT_SCALE_LABEL 1088
#define IDC_MS_TARGET_SCALE_LABEL 1089
#define IDC_MS_TARGET_SCALE 1090
#define IDC_MS_PERCENTAGE 1091
#define IDC_MS_SELECTION_ONLY 1092

/* Scale bar. */
#define IDD_SCALE_BAR 123
#define IDC_SB_NEW_LAYER 1070
#define IDC_SB_SCALE 1093
#define IDC_SB_DISTANCE 1094
#define IDC_SB_KILOMETRES 1095
#define IDC_SB_METRES 1096
#define IDC_SB_SHOW_LENGTH 1097
#define IDC_SB_LENGTH 1098

/* The target layer choice shared by layer numbering and title replacement. */
#define IDC_TARGET_LIST 1120
#define IDC_EXCLUDE_HIDDEN 1125

/* Layer numbering. */
#define IDD_NUMBER_LAYERS 125
#define IDC_NL_BEFORE 1106
#define IDC_NL_AFTER 1108
#define IDC_NL_AFTER_TEXT 1109
#define IDC_NL_ADD_TO_TITLE 1110
#define IDC_NL_INITIAL_NUMBER 1126
#define IDC_NL_STEP 1127
#define IDC_NL_BEFORE_TEXT 1128
#define IDC_NL_IN_FRONT 1129
#define IDC_NL_BEHIND 1130

/* Layer title replacement. */
#define IDD_REPLACE_LAYER_TITLE 126
#define IDC_RT_WITH_DELIMITER 1070
#define IDC_RT_DELIMITER 1104
#define IDC_RT_SEARCH 1105
#define IDC_RT_REPLACEMENT 1106
#define IDC_RT_INSERTION 1107
#define IDC_RT_INSERT 1111
#define IDC_RT_DELETE_NUMBER 1112
#define IDC_RT_DELETE_UP_TO 1114
#define IDC_RT_REPLACE 1115
#define IDC_RT_AT_HEAD 1123
#define IDC_RT_AT_TAIL 1124

/* Layer name list: the encoding chooser below the file dialogs, and the
 * choice of what a loaded list does. */
#define IDD_ENCODING_CHOOSER 127
#define IDC_ENCODING_LIST 1131
#define IDD_RESTORE_KIND 128
#define IDC_RENAME_EXISTING 1134
#define IDC_CREATE_NEW 1135

/* Text origin buttons: horizontal start, centre, end; vertical start,
 * centre, end. */
#define IDI_HORIZONTAL_LEFT 108
#define IDI_HORIZONTAL_CENTRE 109
#define IDI_HORIZONTAL_RIGHT 110
#define IDI_VERTICAL_LEFT 111
#define IDI_VERTICAL_CENTRE 112
#define IDI_VERTICAL_RIGHT 113

/* Layer tree images. */
#define IDB_FOLDER 116
#define IDB_DOCUMENT 117
#define IDB_LAYERS 118

/* Panel icons (PNG), dark and light grey. */
#define IDR_TEXT_ORIGIN_DARK 119
#define IDR_TEXT_ORIGIN_LIGHT 120
#define IDR_MOVE_LAYER_DARK 121
#define IDR_MOVE_LAYER_LIGHT 122

/* The plug-in property list. */
#define IDR_PROPERTY_LIST 16000

#endif
