// Program entry. Replaced by the frame-driver program once the platform core lands.
int main() { return 0; }
