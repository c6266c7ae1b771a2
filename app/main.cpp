#include "KronaxApplication.h"
#include "KronaxConfigForm.h"

int main(int argc, char** argv) {
    kronax::KronaxApplication application(argc, argv);
    kronax::TForm1 window;
    window.show();
    return application.exec();
}
