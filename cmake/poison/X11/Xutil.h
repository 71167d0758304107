#error "logic code must reach the system through platform/ports only"
