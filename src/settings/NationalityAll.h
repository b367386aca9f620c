#pragma once

// Re-applies the current language to every open window of the program: the
// main window, its child windows and every dialog. A window takes part by
// declaring Nationality() as a slot or Q_INVOKABLE method; each is called once.
void NationalityOfAllWindows();
