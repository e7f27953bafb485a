// Entry point of lumeno-box.
#include "app/application.h"
#include "app/base_url.h"

int main(int argc, char** argv) {
    return lumeno::RunLumenoBox(argc, argv, lumeno::BaseUrl);
}
