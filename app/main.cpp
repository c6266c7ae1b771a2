#include "app/KronaxApplication.h"
#include "app/KronaxConfigForm.h"

int main(int argc, char** argv) {
    kronax::KronaxApplication application(argc, argv);
    kronax::TForm1 window;
    window.show();
    return application.exec();
}
