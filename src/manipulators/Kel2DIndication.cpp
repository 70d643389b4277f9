#include <kel/framework/KelMetaObject.h>
#include <kel/manipulators/Kel2DIndication.h>

const char* Kel2DIndication::ClassName() {
  return fct_MetaObjectToFind("Kel2DIndication")->GetClassName();
}
