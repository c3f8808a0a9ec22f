/* "AI User Suite" 15: alerts, questions and the progress display. */
#ifndef ORBALIS_SDK_USER_SUITE_H
#define ORBALIS_SDK_USER_SUITE_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Answers of QuestionAlert. */
#define kHostAnswerNo 0
#define kHostAnswerYes 1

/* The host reads the message strings during the call and keeps no
 * reference to them; the caller still owns and disposes of them. */
typedef struct HostUserSuite {
    /* One message and an OK button. */
    HostErr (*MessageAlert)(HostString message);
    /* A yes/no question; *answer is kHostAnswerYes or kHostAnswerNo. */
    HostErr (*QuestionAlert)(HostString message, int32_t* answer);
    HostErr (*SetProgressText)(HostString text);
    HostErr (*UpdateProgress)(int32_t current, int32_t maximum);
    /* *cancelled is 1 once the user has asked to stop the long operation. */
    HostErr (*IsProgressCancelled)(HostBool* cancelled);
    HostErr (*CloseProgress)(void);
} HostUserSuite;

#ifdef __cplusplus
}
#endif

#endif
