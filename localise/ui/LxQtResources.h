#pragma once
// The program's own resources for the localisation runtime, kept as Qt
// resources: dictionary tables under ":/lingvard/" ("MlLanguage",
// "MlTranslation", "MlLocale") and the stored tables of owners under
// ":/formdata/" (named after the owner's class, "TMess").

namespace orv {

// Makes the runtime's resource loader read the Qt resources.
void InstallLxQtResources();

} // namespace orv
