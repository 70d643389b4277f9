#include <kel/framework/KelDlgNotification.h>

KEL_IMPLEMENT_META(KelDlgNotification, KelNotification)

const char* KelDlgNotification::DLG_CREATE() {
  return "DLG_CREATE";
}
const char* KelDlgNotification::DLG_RESIZE() {
  return "DLG_RESIZE";
}
const char* KelDlgNotification::DLG_VISIBILITY() {
  return "DLG_VISIBILITY";
}
const char* KelDlgNotification::DLG_ACTIVATE() {
  return "DLG_ACTIVATE";
}
const char* KelDlgNotification::DLG_MODIFY() {
  return "DLG_MODIFY";
}
const char* KelDlgNotification::DLG_SELECT() {
  return "DLG_SELECT";
}
const char* KelDlgNotification::DLG_DRAG() {
  return "DLG_DRAG";
}
const char* KelDlgNotification::DLG_CLOSE() {
  return "DLG_CLOSE";
}
const char* KelDlgNotification::DLG_OK() {
  return "DLG_OK";
}
const char* KelDlgNotification::DLG_APPLY() {
  return "DLG_APPLY";
}
const char* KelDlgNotification::DLG_CANCEL() {
  return "DLG_CANCEL";
}
